// Resource ids of the UI plug-in (shared by the .rc files and the code). Plain #defines: the
// resource compiler reads this file too.
#pragma once

// The once-only warning about the job-name-required feature.
#define IDD_ALERT 301
#define IDC_ALERT_TEXT 6001
#define IDC_ALERT_DETAIL 6002
#define IDC_ALERT_SHOW_AGAIN 6005
#define IDC_ALERT_ICON 6006

// Bitmaps. The pages draw 6050 and 6051 with their own palette (8 bits, colour table); the
// pictures marked "transparent" are drawn with magenta (0xFF00FF) as the transparent colour.
#define IDB_COLOUR_SETTINGS 6050       // office colour details, colour modes 0 to 3
#define IDB_COLOUR_SETTINGS_GREY 6051  // the same in colour mode 4 (greyscale)
#define IDB_LINK 6052                  // the web link of the job options and colour pages
#define IDB_QUALITY_HIGH 6053          // quality 0 (and any value other than 1 and 2)
#define IDB_QUALITY_NORMAL 6054        // quality 1
#define IDB_QUALITY_LOW 6055           // quality 2
#define IDB_ABOUT 6056                 // the about box's emblem, transparent
// Colour modes 0 to 4 of the colour page, transparent; note the order of the ids.
#define IDB_MODE_AUTO 6100
#define IDB_MODE_GREYSCALE 6101
#define IDB_MODE_NO_MATCHING 6102
#define IDB_MODE_ADVANCED_PICTURE 6103
#define IDB_MODE_OFFICE 6104
// Colour flow of the advanced picture details, transparent.
#define IDB_FLOW_PROFILE 6105
#define IDB_FLOW_SIMULATION 6106
#define IDB_FLOW_LINK_PROFILE 6107

// Icons. The advanced dialog shows 7001 + (1 when mirrored) + (2 when negative).
#define IDI_VEX 7000
#define IDI_PRINT_NORMAL 7001
#define IDI_PRINT_MIRROR 7002
#define IDI_PRINT_NEGATIVE 7003
#define IDI_PRINT_MIRROR_NEGATIVE 7004

// String table. Where a run of ids is indexed (page modes, positions, sizes, styles, compression
// levels), only its first id has a name.
#define IDS_COMPRESSION_FIRST 6001  // 6001 to 6004: none, fast, normal, best
#define IDS_SCALE_RANGE 7001        // "(%d-%d%%)" with the scale item's minimum and maximum
#define IDS_IC_CARD_SECURE_PRINT 7010
#define IDS_INVALID_PASSWORD 8000
#define IDS_INVALID_JOB_NAME 8001
#define IDS_OVERLAY_COLUMN 8010
#define IDS_PAGES_COLUMN 8011
#define IDS_AT_MOST 8012          // "(最多%d)" with a count
#define IDS_PAGE_MODE_FIRST 8030  // 8030 + page mode 0 to 4
#define IDS_NEW_OVERLAY 8035
#define IDS_GET_PRINTER_OPTIONS 8040  // the printer sheet's push button
#define IDS_NO_WATERMARK 8050         // definition 0's text
#define IDS_WATERMARK_SECTION 8051
#define IDS_DEFAULT_WATERMARK_FONT 8052  // definition 0's PostScript font
#define IDS_CUSTOM_COLOR_SECTION 8053
#define IDS_POSITION_FIRST 8054    // 8054 + position 0 to 6
#define IDS_FONT_SIZE_FIRST 8061   // 8061 to 8076: the font dialog's sixteen sizes
#define IDS_FONT_STYLE_FIRST 8077  // 8077 + style 0 to 3
#define IDS_DUPLICATE_OVERLAY_NAME 10020
#define IDS_NEED_FORM_NAME 10021
#define IDS_FORM_CREATION_NOTE 10022
#define IDS_NEED_OVERLAY_NAME 10023
#define IDS_FORM_NAME_ENDS_WITH_DOT 10024
#define IDS_LIMIT_EXCEEDED 10040
#define IDS_CAPTION_WARNING 10041
#define IDS_INVALID_SETTINGS 10050
#define IDS_SINGLE_COPY_WARNING 10054
#define IDS_NEED_COLOUR_SAMPLE_TOOL 10060
#define IDS_CAPTION_ERROR 10061
// Printer initialisation loads this id and must get an empty text (an empty string, see
// strings.rc).
#define IDS_PRINTER_INIT_EMPTY 30000
#define IDS_CAPTION_INFORMATION 30010

// Job options page.
#define IDD_JOB_OPTIONS 113
#define IDC_QUALITY_GROUP 1500
#define IDC_QUALITY_PICTURE 1501  // owner-drawn: the quality's bitmap
#define IDC_TONER_SAVE 1506
#define IDC_JOB_TYPE_GROUP 1507
#define IDC_JOB_TYPE_FIRST 1508  // 1508 + job type 0 to 3
#define IDC_JOB_TYPE_NORMAL 1508
#define IDC_JOB_TYPE_SECURE 1509
#define IDC_JOB_TYPE_STORE 1510
#define IDC_JOB_TYPE_ENCRYPTED 1511
#define IDC_JOB_PASSWORD_BUTTON 1512
#define IDC_COPIES_LABEL 1513
#define IDC_COPIES 1514
#define IDC_COPIES_SPIN 1515
#define IDC_COPIES_GROUP 1516
#define IDC_COLLATE 1518
#define IDC_SCALE_GROUP 1530
#define IDC_SCALE_LABEL 1531
#define IDC_SCALE 1532
#define IDC_SCALE_SPIN 1533
#define IDC_SCALE_RANGE 1534
#define IDC_WATERMARK_BUTTON 1535
#define IDC_OVERLAY_BUTTON 1536
#define IDC_ADVANCED_BUTTON 1537
#define IDC_QUALITY_FIRST 1545  // 1545 + quality 0 to 2
#define IDC_QUALITY_HIGH 1545
#define IDC_QUALITY_NORMAL 1546
#define IDC_ABOUT_BUTTON 1559
#define IDC_LINK_TEXT 1392
#define IDC_DEFAULTS 10000
#define IDC_LINK_PICTURE 10001  // owner-drawn: the link's bitmap
// Overlay dialogs: the overlay dialog (mode, chosen and defined overlays) and the define-overlay
// dialog (name, pages, forms).
#define IDD_OVERLAY 109
#define IDC_OVERLAY_MODE 1050
#define IDC_OVERLAY_CHOSEN_LABEL 1051
#define IDC_OVERLAY_CHOSEN 1052
#define IDC_OVERLAY_CHOSEN_LIMIT 1053
#define IDC_OVERLAY_ADD 1054
#define IDC_OVERLAY_REMOVE 1055
#define IDC_OVERLAY_DEFINED_LABEL 1056
#define IDC_OVERLAY_DEFINED 1057
#define IDC_OVERLAY_DEFINED_LIMIT 1058
#define IDC_OVERLAY_NEW 1059
#define IDC_OVERLAY_EDIT 1060
#define IDC_OVERLAY_DELETE 1061
#define IDD_DEFINE_OVERLAY 203
#define IDC_DEFINE_NAME_LABEL 1100
#define IDC_DEFINE_NAME 1101
#define IDC_DEFINE_PAGE_MODE_LABEL 1102
#define IDC_DEFINE_PAGE_MODE 1103
#define IDC_DEFINE_PAGES_LABEL 1104
#define IDC_DEFINE_PAGES 1105
#define IDC_DEFINE_PAGES_HINT 1106
#define IDC_DEFINE_FORM_LABEL 1108
#define IDC_DEFINE_FORM 1109
#define IDC_DEFINE_FORM_ADD 1110
#define IDC_DEFINE_FORM_RENAME 1111
#define IDC_DEFINE_FORMS_LABEL 1112
#define IDC_DEFINE_FORMS 1113
#define IDC_DEFINE_FORM_DELETE 1114
// Job password (202), advanced dialog (204) and about box (117).
#define IDD_JOB_PASSWORD 202
#define IDC_JOB_PASSWORD_GROUP 1004
#define IDC_JOB_NAME_LABEL 1005
#define IDC_JOB_NAME 1006
#define IDC_JOB_NAME_REQUIRED 1007
#define IDC_JOB_PASSWORD_EDIT 1008
#define IDC_JOB_PASSWORD_LABEL 1009
#define IDC_JOB_PASSWORD_HINT 1010
#define IDD_ADVANCED 204
#define IDC_ADVANCED_SPECIAL_GROUP 1800
#define IDC_ADVANCED_MIRROR 1801
#define IDC_ADVANCED_NEGATIVE 1802
#define IDC_ADVANCED_PRINT_ICON 1803
#define IDC_ADVANCED_JOB_SPOOL 1806
#define IDC_ADVANCED_MAINTENANCE 1807
#define IDC_ADVANCED_HAIRLINE 1808
#define IDC_ADVANCED_DEFAULTS 10000
#define IDD_ABOUT 117
#define IDC_ABOUT_DRIVER_VERSION 1562
#define IDC_ABOUT_PPD_VERSION 1563
#define IDC_ABOUT_COPYRIGHT 1564
#define IDC_ABOUT_DRIVER_VERSION_LABEL 1565
#define IDC_ABOUT_PPD_VERSION_LABEL 1566
#define IDC_ABOUT_EMBLEM 1567
#define IDC_ABOUT_DRIVER_NAME 1568
// Watermark dialogs: the list (112), the edit dialog (114) and the font dialog (115).
#define IDD_WATERMARK 112
#define IDD_WATERMARK_EDIT 114
#define IDD_WATERMARK_FONT 115
#define IDC_WM_LIST 1401
#define IDC_WM_DELETE 1402
#define IDC_WM_NEW 1403
#define IDC_WM_EDIT 1404
#define IDC_WM_TEXT 1411
#define IDC_WM_SIZE 1413
#define IDC_WM_SIZE_BAR 1414
#define IDC_WM_ANGLE 1416
#define IDC_WM_ANGLE_BAR 1417
#define IDC_WM_FONT 1418
#define IDC_WM_COLOR 1419
#define IDC_WM_OFFSET_X_SPIN 1421
#define IDC_WM_OFFSET_Y_SPIN 1422
#define IDC_WM_OFFSET_X 1432
#define IDC_WM_OFFSET_Y 1434
#define IDC_WM_PREVIEW 1436
#define IDC_WM_FIRST_PAGE 1437
#define IDC_WM_FRAME_NONE 1439  // 1439 + frameStyle 0 to 3
#define IDC_WM_FRAME_CIRCLE 1440
#define IDC_WM_FRAME_SINGLE 1441
#define IDC_WM_FRAME_DOUBLE 1442
#define IDC_WM_POSITION 1443
#define IDC_WM_BACKGROUND 1448
#define IDC_WMF_FONTS 1450
#define IDC_WMF_FONT_NAME 1451
#define IDC_WMF_STYLES 1453
#define IDC_WMF_STYLE_NAME 1454
#define IDC_WMF_SIZES 1456
#define IDC_WMF_SIZE 1457
// Colour: the colour page (111), the office colour details (118), the advanced picture details
// (119) and the advanced colour dialog (200).
#define IDD_COLOUR_PAGE 111
#define IDD_OFFICE_COLOUR 118
#define IDD_PICTURE_COLOUR 119
#define IDD_ADVANCED_COLOUR 200
#define IDC_COLOUR_DEFAULTS 10000
// Colour page: picture buttons 1600 + mode, radio buttons 1605 + mode (modes 0 to 4).
#define IDC_MODE_PICTURE_FIRST 1600
#define IDC_MODE_RADIO_FIRST 1605
#define IDC_OFFICE_DETAILS 1610
#define IDC_CALIBRATION_LABEL 1612
#define IDC_CALIBRATION_LIST 1613
#define IDC_COLOUR_SAMPLES 1614
#define IDC_PICTURE_DETAILS 1616
#define IDC_COLOUR_MODE_GROUP 1617
#define IDC_COLOUR_TONER_SAVE 1506
#define IDC_COLOUR_ADVANCED 1215
#define IDC_COLOUR_LINK_TEXT 1392
#define IDC_COLOUR_LINK_PICTURE 10001
// Office colour details.
#define IDC_RGB_GROUP 1200
#define IDC_TARGET_COLOR_LIST 1211
#define IDC_OFFICE_PICTURE 1214
#define IDC_BLACK_GROUP 1253
#define IDC_BLACK_RADIO_FIRST 1254  // 1254 + option 0 to 2
#define IDC_SIMULATION_GROUP 1260
#define IDC_RENDER_STYLE_LIST 1266
#define IDC_USER_SETTING_CHECK 1267
#define IDC_USER_SETTING_LIST 1268
#define IDC_RENDER_STYLE_LABEL 1282
// Advanced picture details.
#define IDC_MATCHING_RADIO_FIRST 1651  // 1651 + method 0 to 3
#define IDC_INPUT_GROUP 1656
#define IDC_RGB_PROFILE_LABEL 1657
#define IDC_RGB_PROFILE_LIST 1658
#define IDC_OUTPUT_GROUP 1659
#define IDC_PRECISION_TRACKBAR 1660
#define IDC_OUT_PROFILE_LABEL 1661
#define IDC_OUT_PROFILE_LIST 1662
#define IDC_RENDER_DICT_LABEL 1663
#define IDC_RENDER_DICT_LIST 1664
#define IDC_PRECISION_GROUP 1665
#define IDC_BLACK_SUB_LABEL 1666
#define IDC_BLACK_SUB_LIST 1667
#define IDC_PRECISION_FAST 1668  // the trackbar's end labels, hidden with it
#define IDC_PRECISION_FINE 1669
#define IDC_PURE_BLACK_CHECK 1676
#define IDC_PRESERVE_BLACK_CHECK 1677
#define IDC_CMYK_INPUT_LIST 1680
#define IDC_CMYK_RADIO_FIRST 1681  // 1681 + option 0 to 1
#define IDC_CMYK_LINK_LIST 1684
#define IDC_SIM_PROFILE_LABEL 1690
#define IDC_SIM_PROFILE_LIST 1691
#define IDC_FLOW_PICTURE_FIRST 1695  // 1695 to 1698
// Advanced colour.
#define IDC_OTHER_GROUP 1300
#define IDC_PRINTER_HALFTONE 1301
#define IDC_BLACK_OVERPRINT 1302
#define IDC_SEPARATION_LABEL 1303
#define IDC_SEPARATION_LIST 1304
#define IDC_GREY_GRAPHICS 1305
