// Resource identifiers of ui-host.exe.
#pragma once

#define IDC_STATIC -1

#define IDD_DRIVER_PAGE 200
#define IDC_ITEMS 1001
#define IDC_SETTING_LABEL 1002
#define IDC_SETTING 1003
#define IDC_FIRST_BUTTON 1100
// The test affordance on the driver page (--test-dialogs).
#define IDC_TEST_DIALOG 1200
#define IDC_TEST_MESSAGE 1201

// The stand-in's own modal test dialog.
#define IDD_TEST_DIALOG 210
#define IDC_TEST_NUMBER 2001
#define IDC_TEST_ECHO 2002
#define IDC_TEST_CHECK 2003
#define IDC_TEST_ONE 2004
#define IDC_TEST_TWO 2005
#define IDC_TEST_LIST 2006
#define IDC_TEST_COMBO 2007
#define IDC_TEST_CHOICE 2008
#define IDC_TEST_ASK 2009
#define IDC_TEST_DISABLED 2010
#define IDC_TEST_HIDDEN 2011
#define IDC_TEST_ANSWER 2012

#define IDS_DOCUMENT_PAGE 300
#define IDS_PRINTER_PAGE 301
