// String-table ids (appinfo).
#pragma once
