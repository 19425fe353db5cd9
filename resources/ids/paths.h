// String-table ids (paths).
#pragma once
