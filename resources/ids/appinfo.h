// String-table ids (appinfo): version resource reader messages.
#pragma once

#define IDS_VERSION_SIZE_FAILED 58898
#define IDS_VERSION_INFO_MISSING 58899
#define IDS_VERSION_VALUE_MISSING 58900
#define IDS_VERSION_VALUE_EMPTY 58901
#define IDS_VERSION_INVALID 58902
