#pragma once
// Throwing wrappers around WIC palettes: made predefined, from a bitmap, transparent, or copied
// from a frame, and read back.
#include <windows.h>

#include <wincodec.h>

#include <vector>

inline BYTE ColorAlpha(WICColor color) { return static_cast<BYTE>(color >> 24); }

// Each `out` receives a reference of its own; what it held before is released.
void CopyFramePalette(IWICPalette*& out, IWICBitmapSource* source);
void CreatePredefinedPalette(IWICPalette*& out, WICBitmapPaletteType type, bool addTransparent);
void CreatePaletteFromBitmap(IWICPalette*& out, IWICBitmapSource* source, UINT count, bool addTransparent);
void CreateTransparentPalette(IWICPalette*& out);

// The first entry with alpha 0 moves to index 0, the entries before it one place up; nothing
// changes when there is none or it is first already.
void MoveTransparentEntryFirst(IWICPalette* palette);

void PaletteGetColors(IWICPalette* palette, std::vector<WICColor>& colors, UINT& actual);
// False and 0 for an index outside the colours.
bool PaletteGetColor(IWICPalette* palette, int index, WICColor& out);
bool PaletteHasAlpha(IWICPalette* palette);
// An empty palette counts as grey.
bool PaletteIsGray(IWICPalette* palette);
