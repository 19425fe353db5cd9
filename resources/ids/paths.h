// String-table ids of the path helpers' messages.
#pragma once

#define IDS_TEMP_PATH_FAILED 58748
