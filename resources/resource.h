// Resource ids of the application: icon, menus, dialogs, commands and its own texts.
#pragma once

#define IDR_MAINFRAME 137
#define IDR_TRAYMENU 138

#define IDS_MAKER_NAME 130
#define IDS_PRODUCT_NAME 131
#define IDS_HOMEPAGE_URL 134
#define IDS_USAGE_URL 135
#define IDS_DISPLAY_NAME 137

#define ID_APP_START 1
#define ID_APP_RUN 156
#define ID_REGIST_STARTUP 157
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_OPEN_HOMEPAGE 58387
#define ID_OPEN_USAGE 58388
#define ID_SETTINGS 58394
