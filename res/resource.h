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
#define IDC_INTEGRATE 1022
#define IDC_TAB_NAME 1024
#define IDC_PASSWORD 1027

// The description editor: its tool bar (tool-bar and bitmap resource) and the colour
// button's texts.
#define IDR_RICHEDIT_TOOLBAR 10
#define IDS_RICHEDIT_COLOUR 33
#define IDS_RICHEDIT_AUTOMATIC 34
#define IDS_RICHEDIT_MORE_COLOURS 35
