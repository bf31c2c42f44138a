// Resource ids of the UI plug-in (shared by the .rc files and the code). Plain #defines: the
// resource compiler reads this file too.
#pragma once

// The once-only warning about the job-name-required feature.
#define IDD_ALERT 301
#define IDC_ALERT_TEXT 6001
#define IDC_ALERT_DETAIL 6002
#define IDC_ALERT_SHOW_AGAIN 6005
#define IDC_ALERT_ICON 6006

// Icons.
#define IDI_VEX 7000

// String table. Message texts and captions shown through messageFromStrings.
#define IDS_INVALID_PASSWORD 8000
#define IDS_INVALID_JOB_NAME 8001
#define IDS_GET_PRINTER_OPTIONS 8040  // the printer sheet's push button
#define IDS_LIMIT_EXCEEDED 10040
#define IDS_CAPTION_WARNING 10041
#define IDS_INVALID_SETTINGS 10050
#define IDS_NEED_COLOUR_SAMPLE_TOOL 10060
#define IDS_CAPTION_ERROR 10061
// Printer initialisation loads this id and must get an empty text (an empty string, see
// strings.rc).
#define IDS_PRINTER_INIT_EMPTY 30000
