// Resource ids shared by code and the .rc files of both languages.
#pragma once

#define IDS_APP_NAME 1
#define IDS_APP_NAME_JA 2

// The manifest that selects comctl32 version 6.
#define TBLF_MANIFEST_ID 1
