// String-table ids of the application's command messages.
#pragma once

#define IDS_STARTUP_FOLDER_FAILED 58833
#define IDS_PROGRAM_PATH_FAILED 58834
#define IDS_TOO_MANY_ARGUMENTS 58906
#define IDS_UNKNOWN_OPTION 58907
