// Resource ids. Kept to plain #defines so that windres and C++ share them.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX                100
#define IDD_ZERENTA_DIALOG          102
#define IDD_PAGE_SAVER_BLOCKER      107
#define IDD_PAGE_AR_CALCULATOR      129
#define IDD_PAGE_GAMMA              130
#define IDD_PAGE_RESOLUTION         131
#define IDD_APP_PICKER              135
#define IDD_MODE_CONFIRM            136
#define IDD_HOTKEY_BOX              137

// Icons
#define IDR_MAINFRAME               128
#define IDI_GAMMA_WARNING           140

// Menus: the tray menu (its id is also the tray icon id)
#define IDR_TRAYMENU                133

// Strings
#define IDS_ABOUTBOX                101
#define IDS_ABOUT_NOTICE            102
#define IDS_ABOUT_VERSION           103

// Menu and system-menu commands
#define IDM_ABOUTBOX                0x0010
#define ID_TRAY_ABOUT               32771
#define ID_TRAY_CONFIGURE           32772
#define ID_TRAY_RESTORE_SCREEN      32773
#define ID_TRAY_START_WITH_WINDOWS  32774

// Main dialog controls
#define IDC_MAIN_TAB                1029
#define IDC_MAIN_APPLY              1030

// About box controls
#define IDC_ABOUT_VERSION           1000
#define IDC_ABOUT_NOTICE            1013
#define IDC_ABOUT_HOMEPAGE          1014
#define IDC_ABOUT_MAIL              1015

// Resolution page controls
#define IDC_RES_TEST                1004
#define IDC_RES_ADD_FAVOURITE       1005
#define IDC_RES_REMOVE_FAVOURITE    1007
#define IDC_RES_FAVOURITES          1034
#define IDC_RES_DETECTED            1036
#define IDC_RES_CONFIRM_MODE        1050
#define IDC_RES_DISPLAY             1052
#define IDC_RES_HOTKEY              1056

// Mode confirmation box controls (Keep is IDOK, Revert IDCANCEL)
#define IDC_CONFIRM_COUNTDOWN       1051

// Gamma page controls
#define IDC_GAMMA_REMOVE            1012
#define IDC_GAMMA_CONTRAST          1015
#define IDC_GAMMA_R                 1016
#define IDC_GAMMA_G                 1017
#define IDC_GAMMA_B                 1018
#define IDC_GAMMA_RESET             1019
#define IDC_GAMMA_ADD               1020
#define IDC_GAMMA_BRIGHTNESS        1022
#define IDC_GAMMA_CONTRAST_VALUE    1023
#define IDC_GAMMA_R_VALUE           1024
#define IDC_GAMMA_G_VALUE           1025
#define IDC_GAMMA_B_VALUE           1026
#define IDC_GAMMA_LINKED            1028
#define IDC_GAMMA_BRIGHTNESS_VALUE  1029
#define IDC_GAMMA_CURVE             1030
#define IDC_GAMMA_HI_CLAMPING       1031
#define IDC_GAMMA_LO_CLAMPING       1032
#define IDC_GAMMA_HI_VALUE          1033
#define IDC_GAMMA_LO_VALUE          1034
#define IDC_GAMMA_WARNING           1035
#define IDC_GAMMA_FAVOURITES        1036
#define IDC_GAMMA_RENAME            1037
#define IDC_GAMMA_SET               1038
#define IDC_GAMMA_TARGET            1053
#define IDC_GAMMA_STRONGER          1054
#define IDC_GAMMA_REFUSAL           1055
#define IDC_GAMMA_HOTKEY            1057

// Hotkey box controls (Set is IDOK, Cancel IDCANCEL)
#define IDC_HOTKEY_FAVOURITE        1060
#define IDC_HOTKEY_KEYS             1061
#define IDC_HOTKEY_PROBLEM          1062
#define IDC_HOTKEY_CLEAR            1063

// Aspect ratio calculator controls
#define IDC_CALC_HISTORY            1034
#define IDC_CALC_WIDTH              1037
#define IDC_CALC_HEIGHT             1038
#define IDC_CALC_CALCULATE          1039
#define IDC_CALC_RESULT             1040
#define IDC_CALC_DECIMAL            1041
#define IDC_CALC_CLEAR              1042

// Saver blocker page controls
#define IDC_BLOCK_SWITCH            1006
#define IDC_BLOCK_LIST              1007
#define IDC_BLOCK_SELECT_APP        1008
#define IDC_BLOCK_REMOVE            1009
#define IDC_BLOCK_PICK_APP          1014
#define IDC_BLOCK_RULES_SWITCH      1070
#define IDC_BLOCK_AWAKE             1071
#define IDC_BLOCK_MODE              1072
#define IDC_BLOCK_GAMMA             1073

// Application picker controls
#define IDC_PICKER_CAPTION          1010
#define IDC_PICKER_PATH             1011
