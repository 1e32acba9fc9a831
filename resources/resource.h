// Resource ids shared by code and the .rc files of both languages.
#pragma once

#define IDS_APP_NAME 1
#define IDS_APP_NAME_JA 2

// The manifest that selects comctl32 version 6.
#define TBLF_MANIFEST_ID 1

// The 16 x 16 icons of the main list, in the order of their image indexes:
// list view 142, tree view 139, combo box 140, list box 141, file list 143,
// and the owner-draw warning 161 (overlay image 1).
#define IDI_TREEVIEW 139
#define IDI_COMBOBOX 140
#define IDI_LISTBOX 141
#define IDI_LISTVIEW 142
#define IDI_FILELIST 143
#define IDI_EDIT 180
#define IDI_STATIC 181
#define IDI_STATUSBAR 182
#define IDI_TAB 183
#define IDI_OWNERDRAW_MARK 161

// --- Tabulift window ---------------------------------------------------------

// Program icon and the sample window's small icon.
#define IDI_PROGRAM 106
#define IDI_SAMPLE 160
// The main dialog's finder: a crosshair dragged onto a window.
#define IDI_FINDER 190

// Accelerators: F10 About, Ctrl+W Exit, F5 Refresh, Ctrl+S Settings.
#define IDR_ACCELERATORS 136

// Dialogs and menus: the Japanese resource, then the English one.
#define IDD_MAIN_JA 130
#define IDD_MAIN_EN 167
#define IDM_FRAME_JA 145
#define IDM_FRAME_EN 159
#define IDM_CONTEXT_JA 138
#define IDM_CONTEXT_EN 147
#define IDD_MESSAGE_JA 172
#define IDD_MESSAGE_EN 173

// Main dialog controls.
#define IDC_MAIN_LIST 1000
#define IDC_TREE_SHIFT 1004
#define IDC_ONLY_LINES 1006
#define IDC_TREE_GRAPH 1008
#define IDC_DESCRIPTION 1016
#define IDC_REFRESH 1018
#define IDC_OTHER_CONTROLS 1019
#define IDC_TEXT_CONTROLS 1040
#define IDC_FINDER 1097       // the crosshair icon the user drags
#define IDC_FINDER_TEXT 1098  // class and handle of the control under it
#define IDC_ONLY_COLUMNS 1020
#define IDC_COLUMNS 1021
#define IDC_LINES 1022
#define IDC_DESTINATION 1023
#define IDC_DESTINATION_LABEL 1024
#define IDC_FORMAT_LABEL 1026
#define IDC_FORMAT 1028
#define IDC_FILELIST_HINT 1035
#define IDC_NOTICE 1039
#define IDC_EXIT 1060
#define IDC_PROGRESS 1090       // shown while an output runs
#define IDC_PROGRESS_TEXT 1091  // rows done / rows to read
// List view extras, under the column option.
#define IDC_WITH_CHECKED 1092
#define IDC_WITH_SELECTED 1093
#define IDC_WITH_FOCUSED 1094
#define IDC_SELECTED_ONLY 1095
#define IDC_AS_SHOWN 1096
#define IDC_HELP_BUTTON 9

// Message dialog controls.
#define IDC_MESSAGE_LINE 1069
#define IDC_MESSAGE_TEXT 1070

// Commands of the menus and accelerators (button ids where a button does the same).
#define IDM_START_OUTPUT 1
#define IDM_ABOUT 1001
#define IDM_UPDATE_CHECK 32783
#define IDM_OUTPUT_FILELIST 32784
#define IDM_ENVIRONMENT 32785
#define IDM_SETTINGS 32786
#define IDM_PROPERTY 32787
#define IDM_WEB_SITE 32788
#define IDM_MULTI_SELECT 32789
#define IDM_FEEDBACK 32790
#define IDM_DONATION 32792

// --- Settings dialog and open-with-application dialog ------------------------

#define IDD_SETTINGS_JA 158
#define IDD_SETTINGS_EN 170
#define IDC_SAVE_PLACEMENT 1050
#define IDC_SHOW_SAMPLE 1051
#define IDC_SAMPLE_INDEPENDENT 1052
#define IDC_SAMPLE_POSSIZE 1053
#define IDC_SAMPLE_FONT 1061
#define IDC_ENCODING 1032
#define IDC_CODE_PAGE 1077
#define IDC_NEWLINE 1036
#define IDC_QUOTE_WHEN_NEEDED 1055
#define IDC_DOUBLE_QUOTES 1056
#define IDC_RUN_AS_ADMIN 1075
#define IDC_RUN_AS_ADMIN_NOTE 1076
#define IDC_READ_IN_PROCESS 1078

#define IDD_OPEN_JA 137
#define IDD_OPEN_EN 165
#define IDC_OPEN_CSV 1029
#define IDC_OPEN_TXT 1030
#define IDC_OPEN_HTML 1033
#define IDC_OPEN_COMMAND 1031
#define IDC_COMMAND_LINE 1027
#define IDC_COMMAND_HINT 1059
#define IDC_BROWSE 1025

// --- About box (built in memory) ---------------------------------------------

// The About box has no resource template; these are its item ids.
#define IDC_ABOUT_VERSION 2002
#define IDC_ABOUT_ADDRESSES 2003
#define IDC_ABOUT_TEXT 2004
#define IDC_ABOUT_ENVIRONMENT 2005
#define IDC_ABOUT_CONTRIBUTION 2006
#define IDC_ABOUT_ICON 2007
#define IDC_ABOUT_GUARD_TIMER 2008
#define IDC_ABOUT_FEEDBACK 2009

// --- Environment report dialog -----------------------------------------------

#define IDD_ENV_REPORT_JA 133
#define IDD_ENV_REPORT_EN 164
#define IDI_ENV_REPORT 134
#define IDC_ENV_SAVE 1013
#define IDC_ENV_COPY 1014
#define IDC_ENV_TEXT 1015
#define IDC_ENV_NOTE 1016

// --- Update check dialog -----------------------------------------------------

#define IDD_UPDATE_JA 146
#define IDD_UPDATE_EN 169
#define IDC_UPDATE_CHECK_NOW 1045
#define IDC_UPDATE_AT_STARTUP 1002
#define IDC_UPDATE_BETA 1046
#define IDC_UPDATE_CLOSE_AFTER 1047
#define IDC_UPDATE_PROXY 1015
#define IDC_UPDATE_PROXY_PORT 1048
#define IDC_UPDATE_TIMEOUT 1049

// --- File list dialog --------------------------------------------------------

// IDC_BROWSE (1025) and IDC_HELP_BUTTON (9) are shared with the dialogs above.
#define IDD_FILELIST_JA 144
#define IDD_FILELIST_EN 166
#define IDC_FL_INCLUDE_SUBFOLDERS 1003
#define IDC_FL_FOLDER_LABEL 1016
#define IDC_FL_TEMPLATE_LABEL 1017
#define IDC_FL_ORDER 1034
#define IDC_FL_FOLDER_POSITION 1037
#define IDC_FL_TEMPLATE 1038
#define IDC_FL_TOKENS 1040
#define IDC_FL_DEFAULT 1041
#define IDC_FL_FOLDER 1042
#define IDC_FL_FOLDERS_ONLY 1043
#define IDC_FL_LOCAL_TIME 1044
#define IDC_FL_TOKENS_FRAME 1057
#define IDC_FL_SEPARATOR 1058

// --- Property dialog ---------------------------------------------------------

#define IDD_PROPERTY_JA 162
#define IDD_PROPERTY_EN 168
#define IDC_PROPERTY_REPORT 1054

// --- Multi-selection helper dialog -------------------------------------------

#define IDD_MULTI_SELECT_JA 171
#define IDD_MULTI_SELECT_EN 174
#define IDC_SELECT_COLUMN 1062
#define IDC_SELECT_CONDITION 1063
#define IDC_SELECT_DESCRIPTION 1064
#define IDC_SELECT_REGEX 1065
#define IDC_SELECT_MATCH 1066
#define IDC_SELECT_SUBSTRING 1067
#define IDC_SELECT_IGNORE_CASE 1068
#define IDC_SELECT_DESELECT 1071
