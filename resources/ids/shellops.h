// String-table ids (shellops).
#pragma once
