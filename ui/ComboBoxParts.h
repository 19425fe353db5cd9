#pragma once
// The child windows of a combo box and the width of its drop-down list.
#include <windows.h>

// The list and edit windows of `combo` (edit is null for a drop-down list); false when the
// system does not answer.
bool GetComboBoxParts(HWND combo, HWND& list, HWND& edit);

// The width the drop-down list needs for its widest item: text extent in the box's font plus
// 6 pixels, plus the scroll bar when the list has one; never less than the box's client width.
int MeasureDroppedWidth(HWND combo, HWND list);
void SetDroppedWidthToFit(HWND combo, HWND list);
