// String-table ids (xml).
#pragma once
