// Resource ids of the rendering plug-in (shared by the .rc files and the code).
#pragma once

// Job-name dialog asked for at print time.
#define IDD_JOB_NAME 103
#define IDC_JOB_NAME_LABEL 1005
#define IDC_JOB_NAME_EDIT 1006
#define IDC_JOB_NAME_GROUP 1007

// String table.
#define IDS_ENTER_JOB_NAME 8001
