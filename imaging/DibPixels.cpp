// Pixel and colour-table operations of CDib. Rows are walked from the top row by the signed
// stride, so bottom-up and top-down DIBs are read the same way; every rectangle is clipped.
#include "imaging/Dib.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace {

// x / 255 for x up to 255 * 255, without a division (exact over that range).
inline DWORD Div255(DWORD x) { return (x + 1 + (x >> 8)) >> 8; }

inline DWORD* PixelRow(const CDib& dib, LONG y)
{
    return reinterpret_cast<DWORD*>(dib.GetTopRow() + static_cast<ptrdiff_t>(y) * dib.GetSignedStride());
}

inline const BYTE* MaskRow(const CDib& mask, LONG y)
{
    return mask.GetTopRow() + static_cast<ptrdiff_t>(y) * mask.GetSignedStride();
}

// Calls f(first pixel, count) for each row of an already clipped rectangle.
template <class F> void ForEachRow(const CDib& dib, const RECT& r, F f)
{
    for (LONG y = r.top; y < r.bottom; ++y) f(PixelRow(dib, y) + r.left, r.right - r.left);
}

// Two pixels in 16-bit lanes (blue, green, red, alpha, twice): every product of two bytes fits.
// x / 255 as (x x 0x8081) >> 23, exact for every 16-bit x.
inline __m128i Div255Lanes(__m128i x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(short(0x8081))), 7); }

inline __m128i AlphaLanes(__m128i x)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

const __m128i kAlphaBytes = _mm_set1_epi32(int(0xFF000000));

// Four pixels at a time: `lanes` on each two in 16-bit lanes, then `finish` on the four packed
// again (with the four as they were); `pixel` on the rest. Both give the same bytes.
template <class Lanes, class Finish, class Pixel>
void ForEachPixel(DWORD* p, LONG count, Lanes lanes, Finish finish, Pixel pixel)
{
    const __m128i zero = _mm_setzero_si128();
    LONG i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i low = lanes(_mm_unpacklo_epi8(four, zero)), high = lanes(_mm_unpackhi_epi8(four, zero));
        const __m128i done = _mm_packus_epi16(low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), finish(four, done));
    }
    for (; i < count; ++i) p[i] = pixel(p[i]);
}

// An opaque pixel comes out as it was (c x 255 / 255 = c): no test for it is needed.
void PremultiplyPixels(DWORD* p, LONG count)
{
    ForEachPixel(
        p, count, [](__m128i x) { return Div255Lanes(_mm_mullo_epi16(x, AlphaLanes(x))); },
        [](__m128i four, __m128i done) {
            return _mm_or_si128(_mm_andnot_si128(kAlphaBytes, done), _mm_and_si128(kAlphaBytes, four));
        },
        [](DWORD v) {
            const DWORD a = v >> 24;
            return (v & 0xFF000000) | Div255(((v >> 16) & 0xFF) * a) << 16 | Div255(((v >> 8) & 0xFF) * a) << 8 |
                   Div255((v & 0xFF) * a);
        });
}

// (255 - a) x background / 255 + a x channel / 255, alpha 255; an opaque pixel keeps its colour.
void FlattenPixels(DWORD* p, LONG count, COLORREF back)
{
    const DWORD red = GetRValue(back), green = GetGValue(back), blue = GetBValue(back);
    const __m128i background = _mm_set_epi16(0, short(red), short(green), short(blue), 0, short(red), short(green),
                                             short(blue));
    ForEachPixel(
        p, count,
        [&](__m128i x) {
            const __m128i alpha = AlphaLanes(x);
            const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
            const __m128i back = Div255Lanes(_mm_mullo_epi16(rest, background));
            return _mm_add_epi16(back, Div255Lanes(_mm_mullo_epi16(alpha, x)));
        },
        [](__m128i, __m128i done) { return _mm_or_si128(done, kAlphaBytes); },
        [=](DWORD v) {
            const DWORD a = v >> 24, rest = 255 - a;
            return 0xFF000000 | (Div255(rest * red) + Div255(a * ((v >> 16) & 0xFF))) << 16 |
                   (Div255(rest * green) + Div255(a * ((v >> 8) & 0xFF))) << 8 |
                   (Div255(rest * blue) + Div255(a * (v & 0xFF)));
        });
}

void SetAlphaPixels(DWORD* p, LONG count, BYTE alpha)
{
    const DWORD a = static_cast<DWORD>(alpha) << 24;
    for (LONG i = 0; i < count; ++i) p[i] = (p[i] & 0x00FFFFFF) | a;
}

bool IsMask(const CDib& mask) { return mask.HasImage() && mask.GetBitCount() == 8; }

} // namespace

void CDib::Fill(BYTE value)
{
    if (m_bits && m_header) std::memset(m_bits, value, GetImageSize());
}

void CDib::ClearRect(const RECT& rect)
{
    if (!HasImage32()) return;
    const RECT all = GetRect();
    if (::EqualRect(&rect, &all)) return Clear();
    RECT r;
    if (!ClipToImage(rect, r)) return;
    ForEachRow(*this, r, [](DWORD* p, LONG count) { std::memset(p, 0, count * sizeof(DWORD)); });
}

void CDib::FillRect(const RECT& rect, DWORD value)
{
    RECT r;
    if (!HasImage32() || !ClipToImage(rect, r)) return;
    ForEachRow(*this, r, [value](DWORD* p, LONG count) { std::fill(p, p + count, value); });
}

void CDib::FillColor(COLORREF color)
{
    FillRect(GetRect(), GetBValue(color) | GetGValue(color) << 8 | GetRValue(color) << 16);
}

void CDib::SetAlpha(BYTE alpha) { SetAlphaRect(GetRect(), alpha); }

void CDib::SetAlphaRect(const RECT& rect, BYTE alpha)
{
    RECT r;
    if (!HasImage32() || !ClipToImage(rect, r)) return;
    ForEachRow(*this, r, [alpha](DWORD* p, LONG count) { SetAlphaPixels(p, count, alpha); });
}

void CDib::SetAlphaFromMask(const CDib& mask8)
{
    if (!HasImage32() || !IsMask(mask8)) return;
    const LONG width = std::min(GetWidth(), mask8.GetWidth());
    const LONG height = std::min(GetHeight(), mask8.GetHeight());
    for (LONG y = 0; y < height; ++y) {
        DWORD* p = PixelRow(*this, y);
        const BYTE* m = MaskRow(mask8, y);
        for (LONG x = 0; x < width; ++x) p[x] = (p[x] & 0x00FFFFFF) | static_cast<DWORD>(m[x]) << 24;
    }
}

void CDib::CombineAlphaMask(const CDib& mask8, int x, int y)
{
    if (!HasImage32() || !IsMask(mask8)) return;
    // In 64 bits: a position near INT_MAX plus the mask's size must not wrap.
    const LONGLONG left = std::max<LONGLONG>(x, 0);
    const LONGLONG top = std::max<LONGLONG>(y, 0);
    const LONGLONG right = std::min<LONGLONG>(LONGLONG(x) + mask8.GetWidth(), GetWidth());
    const LONGLONG bottom = std::min<LONGLONG>(LONGLONG(y) + mask8.GetHeight(), GetHeight());
    for (LONGLONG ty = top; ty < bottom; ++ty) {
        DWORD* p = PixelRow(*this, static_cast<LONG>(ty));
        const BYTE* m = MaskRow(mask8, static_cast<LONG>(ty - y)) - x;
        for (LONGLONG tx = left; tx < right; ++tx) {
            const DWORD mask = m[tx];
            const DWORD alpha = mask + Div255((255 - mask) * (p[tx] >> 24));
            p[tx] = (p[tx] & 0x00FFFFFF) | alpha << 24;
        }
    }
}

void CDib::Premultiply() { PremultiplyRect(GetRect()); }

void CDib::PremultiplyRect(const RECT& rect)
{
    RECT r;
    if (!HasImage32() || !ClipToImage(rect, r)) return;
    ForEachRow(*this, r, PremultiplyPixels);
}

void CDib::FlattenOnColor(COLORREF back)
{
    if (!HasImage32()) return;
    ForEachRow(*this, GetRect(), [back](DWORD* p, LONG count) { FlattenPixels(p, count, back); });
}

// A table of one entry has no step between black and white: it is black.
void CDib::SetGrayPalette()
{
    if (!m_header || m_header->biBitCount > 8 || m_header->biCompression == BI_BITFIELDS) return;
    const UINT count = GetColorCount();
    RGBQUAD* table = GetColorTable();
    for (UINT i = 0; i < count; ++i) {
        const BYTE level = count > 1 ? static_cast<BYTE>(ULONGLONG(i) * 255 / (count - 1)) : 0;
        table[i] = RGBQUAD{level, level, level, 255};
    }
}

bool CDib::SetMaskPalette(int index)
{
    if (!m_header || m_header->biBitCount != 8 || m_header->biClrUsed != 256 || index < 0 || index > 255) return false;
    RGBQUAD* table = GetColorTable();
    std::memset(table, 0, 256 * sizeof(RGBQUAD));
    table[index] = RGBQUAD{255, 255, 255, 255};
    return true;
}

void CDib::CopyPalette(const CDib& other)
{
    if (!m_header || !other.m_header || this == &other) return;
    const UINT count = GetColorCount();
    if (count == other.GetColorCount()) std::memcpy(GetColorTable(), other.GetColorTable(), count * 4ULL);
}
