// String-table ids (files).
#pragma once
