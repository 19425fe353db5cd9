// String-table ids of the DIB and GDI+ bitmap helpers.
#pragma once

#define IDS_IMAGE_RESOURCE_LOAD_FAILED 59118
