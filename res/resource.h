#pragma once
// Resource identifiers shared by korvane.rc and the code.

#define IDI_KORVANE 111

// Icons of the desktop's buttons.
#define IDI_SHUTDOWN 115
#define IDI_SETTINGS 116
#define IDI_SAVE 117
#define IDI_ADD_TAB 118
#define IDI_LOCKED 120
#define IDI_UNLOCKED 121
#define IDI_SAVE_WARNING 1025

// The small dialogs and the integration dialog.
#define IDD_PASSWORD 104
#define IDD_ABOUT 108
#define IDD_RESTRICTIONS 109
#define IDD_INTEGRATION 110
#define IDD_TAB_NAME 112
#define IDC_INTEGRATION_WARNING 1000
#define IDC_ABOUT_VERSION 1018
#define IDC_ABOUT_NOTICE 1019
#define IDC_ABOUT_EXTRA 1020
#define IDC_DISABLE_EXIT 1021
#define IDC_LOCKDOWN 1100
#define IDC_INTEGRATE 1022
#define IDC_TAB_NAME 1024
#define IDC_PASSWORD 1027

// The program editor and its icon chooser.
#define IDD_ADD_EDIT_ICON 105
#define IDD_CHANGE_ICON 106
#define IDC_SCREENSHOT_PICTURE 107
#define IDC_CHANGE_ICON 1001
#define IDC_CHOOSE_SCREENSHOT 1002
#define IDC_PROGRAM_PATH 1003
#define IDC_PROGRAM_LABEL 1004
#define IDC_CHOOSE_PROGRAM 1005
#define IDC_PARAMETERS_LABEL 1006
#define IDC_PARAMETERS 1007
#define IDC_WINDOW_SIZE 1008
#define IDC_SHOW_NORMAL 1009
#define IDC_SHOW_MAXIMIZED 1010
#define IDC_SHOW_MINIMIZED 1011
#define IDC_ICON_LIST 1012
#define IDC_CAPTION 1026

// The background and colours dialog (its controls share numbers with the editor's).
#define IDD_SELECT_BACKGROUND 107
#define IDC_BACKGROUND_PICTURE 111
#define IDC_CHOOSE_PICTURE 1005
#define IDC_FULL_SCREEN 1009
#define IDC_REPEAT_COPIES 1010
#define IDC_CLEAN_PICTURE 1014
#define IDC_DESKTOP_COLOUR 1015
#define IDC_CAPTION_BACK_COLOUR 1016
#define IDC_DESCRIPTION_BACK_COLOUR 1017
#define IDC_PICTURE_PATH 1028

// The description editor: its tool bar (tool-bar and bitmap resource) and the colour
// button's texts.
#define IDR_RICHEDIT_TOOLBAR 10
#define IDS_RICHEDIT_COLOUR 33
#define IDS_RICHEDIT_AUTOMATIC 34
#define IDS_RICHEDIT_MORE_COLOURS 35

// The room's catalogue: its source dialog and the about box's two record lines.
#define IDD_CATALOGUE_SOURCE 140
#define IDC_SOURCE_LABEL 1300
#define IDC_SOURCE_PATH 1301
#define IDC_SOURCE_BROWSE 1302
#define IDC_SOURCE_MINUTES_LABEL 1303
#define IDC_SOURCE_MINUTES 1304
#define IDC_SOURCE_MINUTES_UNIT 1305
#define IDC_SOURCE_TAKE_NOW 1306
#define IDC_SOURCE_STATUS 1307
#define IDC_ABOUT_TAKEN 1308
#define IDC_ABOUT_REFUSED 1309
// The customer sessions dialog.
#define IDD_SESSIONS 130
#define IDC_SESSION_FOLDERS 1200
#define IDC_SESSION_ADD 1201
#define IDC_SESSION_REMOVE 1202
#define IDC_SESSION_DEFAULTS 1203
#define IDC_SESSION_IDLE 1204
#define IDC_SESSION_ENABLED 1205
#define IDC_SESSION_END_NOW 1206
#define IDC_SESSION_FOLDERS_LABEL 1207
#define IDC_SESSION_IDLE_LABEL 1208
#define IDC_SESSION_NOTE 1209
