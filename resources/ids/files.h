// String-table ids of the file utilities' messages.
#pragma once

#define IDS_COPY_FILE_FAILED 58755
#define IDS_MOVE_FILE_FAILED 58756
#include "ids/xml.h"
#define IDS_CREATE_FILE_FAILED IDS_FILE_CREATE_FAILED // one text, kept with the file layer
#define IDS_DELETE_FILE_FAILED 58994
#define IDS_DELETE_FOLDER_FAILED 58995
#define IDS_DELETE_FOLDER_REFUSED 58993
#define IDS_CREATE_FOLDER_FAILED 58998
