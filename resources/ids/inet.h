// String-table ids of the HTTP client library's messages.
#pragma once
