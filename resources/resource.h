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
#define IDI_OWNERDRAW_MARK 161
