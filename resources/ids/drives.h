// String-table ids (drives).
#pragma once
