// Resource identifiers of ui-host.exe.
#pragma once

#define IDD_DRIVER_PAGE 200
#define IDC_ITEMS 1001
#define IDC_SETTING_LABEL 1002
#define IDC_SETTING 1003
#define IDC_FIRST_BUTTON 1100

#define IDS_DOCUMENT_PAGE 300
#define IDS_PRINTER_PAGE 301
