#pragma once
// GDI+ images from the program's "Image" resources and bitmaps from its icons.
#include "imaging/GdiplusImage.h"

#include <windows.h>

// Throws the image resource error when the resource is missing or holds no picture.
CGdiplusImagePtr LoadImageFromImageResource(WORD id);
// Loads only into an empty pointer; a failure leaves it empty and throws nothing.
void LoadImageFromImageResourceOnce(CGdiplusImagePtr& image, WORD id);
// The icon at cx x cy as a 32-bit ARGB bitmap; empty when the icon or its bits cannot be had.
CGdiplusBitmapPtr CreateBitmapFromIconResource(WORD id, int cx, int cy);
