// Resource ids of the dialog-helper tests' own pictures and dialogs (linked into dll_tests only).
#pragma once

#define IDB_TEST_RGB24 2001
#define IDB_TEST_INDEXED8 2002
#define IDB_TEST_INDEXED8_THREE 2003
#define IDB_TEST_DAMAGED_SIZE 2004
#define IDB_TEST_DAMAGED_TABLE 2005
#define IDB_TEST_MISSING 2099

#define IDD_TEST_CANVAS 2100
#define IDD_TEST_PAGE 2101
#define IDD_TEST_BINDINGS 2102

#define IDC_TEST_PICTURE 100  // hidden: only its place counts
#define IDC_TEST_FRAMED 101   // hidden as well
#define IDC_TEST_RANGE_FIRST 110
#define IDC_TEST_RANGE_LAST 115
#define IDC_TEST_UNSIGNED 120  // 1..600, default 72
#define IDC_TEST_SIGNED 121    // -180..180, default 45
#define IDC_TEST_OTHER 122     // takes the focus away
#define IDC_TEST_PAGE_TEXT 130

// The bindings dialog.
#define IDC_TEST_CHECK 130
#define IDC_TEST_CHECK_ZERO 131
#define IDC_TEST_CHOICE 132
#define IDC_TEST_RADIO 133  // and the two after it
#define IDC_TEST_NUMBER 136
