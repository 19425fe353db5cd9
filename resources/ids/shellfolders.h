// String-table ids of the shell folders and of item ID lists made from names and special folders.
#pragma once

#define IDS_SHELL_FOLDER_FAILED 58788
#define IDS_DESKTOP_FOLDER_FAILED 58789
#define IDS_SHELL_SET_NAME_FAILED 58794
#define IDS_SHELL_ATTRIBUTES_FAILED 58796
#define IDS_SHELL_DATA_OBJECT_FAILED 58797
#define IDS_IDLIST_ROOT_FAILED 58808
#define IDS_IDLIST_FROM_PATH_FAILED 58809
