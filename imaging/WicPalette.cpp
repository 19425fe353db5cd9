#include "imaging/WicPalette.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/ImagingFactory.h"

#include <ComPtr.h>

using ATL::CComPtr;

namespace {

CComPtr<IWICPalette> NewPalette()
{
    CComPtr<IWICPalette> palette;
    ThrowIfFailed(g_wicFactory->CreatePalette(&palette), IDS_WIC_PALETTE_CREATE_FAILED);
    return palette;
}

void Hand(IWICPalette*& out, CComPtr<IWICPalette>& palette)
{
    if (out) out->Release();
    out = palette.Detach();
}

std::vector<WICColor> ReadColors(IWICPalette* palette)
{
    std::vector<WICColor> colors;
    UINT actual = 0;
    PaletteGetColors(palette, colors, actual);
    return colors;
}

} // namespace

// WIC puts the transparent entry where its colour search ended; callers that write indexed
// images want it at index 0.
void MoveTransparentEntryFirst(IWICPalette* palette)
{
    std::vector<WICColor> colors = ReadColors(palette);
    size_t found = 0;
    while (found < colors.size() && ColorAlpha(colors[found]) != 0) ++found;
    if (found == colors.size() || found == 0) return;
    for (size_t i = found; i > 0; --i) colors[i] = colors[i - 1];
    colors[0] = 0x00000000;
    ThrowIfFailed(palette->InitializeCustom(colors.data(), static_cast<UINT>(colors.size())),
                  IDS_WIC_PALETTE_INIT_FAILED);
}

void CopyFramePalette(IWICPalette*& out, IWICBitmapSource* source)
{
    CComPtr<IWICPalette> palette = NewPalette();
    ThrowIfFailed(source->CopyPalette(palette), IDS_WIC_PALETTE_GET_FAILED);
    Hand(out, palette);
}

void CreatePredefinedPalette(IWICPalette*& out, WICBitmapPaletteType type, bool addTransparent)
{
    CComPtr<IWICPalette> palette = NewPalette();
    ThrowIfFailed(palette->InitializePredefined(type, addTransparent), IDS_WIC_PALETTE_INIT_FAILED);
    Hand(out, palette);
}

void CreatePaletteFromBitmap(IWICPalette*& out, IWICBitmapSource* source, UINT count, bool addTransparent)
{
    CComPtr<IWICPalette> palette = NewPalette();
    ThrowIfFailed(palette->InitializeFromBitmap(source, count, addTransparent), IDS_WIC_PALETTE_INIT_FAILED);
    if (addTransparent) MoveTransparentEntryFirst(palette);
    Hand(out, palette);
}

void CreateTransparentPalette(IWICPalette*& out)
{
    CComPtr<IWICPalette> palette = NewPalette();
    WICColor transparent = 0x00000000;
    ThrowIfFailed(palette->InitializeCustom(&transparent, 1), IDS_WIC_PALETTE_INIT_FAILED);
    Hand(out, palette);
}

void PaletteGetColors(IWICPalette* palette, std::vector<WICColor>& colors, UINT& actual)
{
    colors.clear();
    actual = 0;
    UINT count = 0;
    ThrowIfFailed(palette->GetColorCount(&count), IDS_WIC_PALETTE_COUNT_FAILED);
    if (count == 0) return;
    colors.resize(count);
    ThrowIfFailed(palette->GetColors(count, colors.data(), &actual), IDS_WIC_PALETTE_COLOR_FAILED);
    if (actual < count) colors.resize(actual);
}

bool PaletteGetColor(IWICPalette* palette, int index, WICColor& out)
{
    out = 0;
    const std::vector<WICColor> colors = ReadColors(palette);
    if (index < 0 || static_cast<size_t>(index) >= colors.size()) return false;
    out = colors[static_cast<size_t>(index)];
    return true;
}

bool PaletteHasAlpha(IWICPalette* palette)
{
    BOOL alpha = FALSE;
    ThrowIfFailed(palette->HasAlpha(&alpha), IDS_WIC_PALETTE_ALPHA_FAILED);
    if (!alpha) return false;
    for (WICColor color : ReadColors(palette)) {
        if (ColorAlpha(color) < 255) return true;
    }
    return false;
}

bool PaletteIsGray(IWICPalette* palette)
{
    for (WICColor color : ReadColors(palette)) {
        const BYTE b = color & 0xFF, g = (color >> 8) & 0xFF, r = (color >> 16) & 0xFF;
        if (b != g || g != r) return false;
    }
    return true;
}
