#include "imaging/Dib.h"

#include "imaging/RowBytes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr UINT kV5HeaderSize = sizeof(BITMAPV5HEADER);
// PROFILE_EMBEDDED and LCS_sRGB, which mingw spells as multi-character constants.
constexpr DWORD kProfileEmbedded = 0x4D424544;
constexpr DWORD kColorSpaceSrgb = 0x73524742;

// The colour entries a header of these values carries: the three masks for bit fields, none
// above 8 bits, else the colours used, no more than the bit count can index.
UINT ColorCountOf(WORD bitCount, UINT colorsUsed, DWORD compression)
{
    if (compression == BI_BITFIELDS) return 3;
    if (bitCount > 8) return 0;
    return colorsUsed ? std::min(colorsUsed, 1u << bitCount) : 1u << bitCount;
}

const BITMAPV5HEADER* AsV5(const BITMAPINFOHEADER* header)
{
    return header && header->biSize >= kV5HeaderSize ? reinterpret_cast<const BITMAPV5HEADER*>(header) : nullptr;
}

ULONGLONG HeightMagnitude(LONG height) { return height < 0 ? 0ULL - static_cast<LONGLONG>(height) : height; }

// Stride x |height| of an uncompressed layout, in 64 bits.
ULONGLONG ComputeImageSize(LONG width, LONG height, WORD bitCount)
{
    return ComputeDibStride(width, bitCount) * HeightMagnitude(height);
}

} // namespace

ULONGLONG ComputeDibStride(LONG width, WORD bitCount)
{
    if (width < 0) return 0;
    return AlignedRowBytes(static_cast<ULONGLONG>(width), bitCount);
}

CDib::~CDib()
{
    // The virtual slots are this class's own here: a derived class has freed its own already.
    CDib::FreeHeader();
    CDib::FreeBits();
}

// Sizes are checked in 64 bits before anything is allocated: a geometry whose pixels or header
// block do not fit the largest block is refused.
bool CDib::Create(UINT headerSize, LONG width, LONG height, WORD bitCount, UINT colorsUsed, DWORD compression,
                  UINT profileSize)
{
    FreeHeader();
    if (headerSize < sizeof(BITMAPINFOHEADER) || width < 0 || height == LONG_MIN) return false;
    if (ComputeImageSize(width, height, bitCount) > kMaxDibBlockSize) return false;
    const UINT colors = ColorCountOf(bitCount, colorsUsed, compression);
    const ULONGLONG blockSize = static_cast<ULONGLONG>(headerSize) + colors * 4ULL + profileSize;
    if (blockSize > kMaxDibBlockSize) return false;
    m_header = static_cast<BITMAPINFOHEADER*>(std::calloc(1, static_cast<size_t>(blockSize)));
    if (!m_header) return false;
    m_header->biSize = headerSize;
    FillHeader(width, height, bitCount, colors, compression, profileSize);
    return true;
}

void CDib::FillHeader(LONG width, LONG height, WORD bitCount, UINT colors, DWORD compression, UINT profileSize)
{
    m_header->biWidth = width;
    m_header->biHeight = height;
    m_header->biPlanes = 1;
    m_header->biBitCount = bitCount;
    m_header->biCompression = compression;
    // The masks of a bit-field header are no colour table: counted as colours, GDI would look for
    // the pixels of a packed DIB 12 bytes too far.
    const UINT colorsUsed = bitCount <= 8 && compression != BI_BITFIELDS ? colors : 0;
    m_header->biClrUsed = colorsUsed;
    m_header->biClrImportant = colorsUsed;
    if (m_header->biSize >= kV5HeaderSize) {
        auto* v5 = reinterpret_cast<BITMAPV5HEADER*>(m_header);
        if (profileSize) {
            v5->bV5ProfileSize = profileSize;
            v5->bV5ProfileData = m_header->biSize + colors * 4;
            v5->bV5CSType = kProfileEmbedded;
        } else {
            v5->bV5CSType = kColorSpaceSrgb;
        }
    }
    if (compression == BI_BITFIELDS) {
        m_header->biSizeImage = static_cast<DWORD>(ComputeImageSize(width, height, bitCount));
    }
    if (bitCount == 8 && colors == 256) SetGrayPalette();
}

void CDib::FreeHeader() noexcept { std::free(std::exchange(m_header, nullptr)); }

bool CDib::AllocBits()
{
    if (!m_header) return false;
    FreeBits();
    const ULONGLONG rows = ComputeImageSize(m_header->biWidth, m_header->biHeight, m_header->biBitCount);
    if (m_header->biWidth < 0 || m_header->biHeight == LONG_MIN || rows > kMaxDibBlockSize) return false;
    // Uncompressed rows are addressed by the pixel operations whatever biSizeImage says.
    const ULONGLONG size = m_header->biCompression == BI_RGB ? rows : std::max<ULONGLONG>(rows, GetImageSize());
    m_bits = static_cast<BYTE*>(std::malloc(static_cast<size_t>(std::max<ULONGLONG>(size, 1))));
    return m_bits != nullptr;
}

void CDib::FreeBits() noexcept { std::free(std::exchange(m_bits, nullptr)); }

void CDib::Free() noexcept
{
    FreeHeader();
    FreeBits();
}

bool CDib::Create32(LONG width, LONG height)
{
    return Create(sizeof(BITMAPINFOHEADER), width, height, 32, 0, BI_RGB, 0);
}

bool CDib::CreateV5(LONG width, LONG height, WORD bitCount, UINT colorsUsed, DWORD compression)
{
    return Create(kV5HeaderSize, width, height, bitCount, colorsUsed, compression, 0);
}

bool CDib::CreateV5WithProfile(LONG width, LONG height, WORD bitCount, UINT colorsUsed, DWORD compression,
                               const std::vector<BYTE>& profile)
{
    if (profile.size() > kMaxDibBlockSize) return false;
    if (!Create(kV5HeaderSize, width, height, bitCount, colorsUsed, compression, static_cast<UINT>(profile.size())))
        return false;
    if (!profile.empty()) std::memcpy(GetProfileData(), profile.data(), profile.size());
    return true;
}

bool CDib::CreateLike(const BITMAPINFOHEADER* src)
{
    return src && CreateFromHeader(src, src->biWidth, src->biHeight, src->biBitCount, src->biCompression, true);
}

bool CDib::CreateLike(LONG width, LONG height, WORD bitCount, const BITMAPINFOHEADER* src)
{
    const bool colors = src && bitCount <= 8 && src->biBitCount <= 8 && src->biCompression != BI_BITFIELDS;
    return src && CreateFromHeader(src, width, height, bitCount, BI_RGB, colors);
}

// The source's colour entries (as many as the new table holds, when `colors`) and its profile
// come along.
bool CDib::CreateFromHeader(const BITMAPINFOHEADER* src, LONG width, LONG height, WORD bitCount, DWORD compression,
                            bool colors)
{
    std::vector<BYTE> own;
    src = KeepIfOwn(src, own);
    const auto* srcBytes = reinterpret_cast<const BYTE*>(src);
    const BITMAPV5HEADER* v5 = AsV5(src);
    const UINT profileSize = v5 && v5->bV5ProfileData ? v5->bV5ProfileSize : 0;
    if (!Create(src->biSize, width, height, bitCount, 0, compression, profileSize)) return false;
    if (colors) {
        const UINT srcColors = ColorCountOf(src->biBitCount, src->biClrUsed, src->biCompression);
        std::memcpy(GetColorTable(), srcBytes + src->biSize, std::min(srcColors, GetColorCount()) * 4ULL);
    }
    if (profileSize) std::memcpy(GetProfileData(), srcBytes + v5->bV5ProfileData, profileSize);
    return true;
}

// Create frees the header block first: a source that is this DIB's own header is copied before.
const BITMAPINFOHEADER* CDib::KeepIfOwn(const BITMAPINFOHEADER* src, std::vector<BYTE>& copy) const
{
    if (src != m_header) return src;
    const BITMAPV5HEADER* v5 = AsV5(src);
    const ULONGLONG profileEnd = v5 && v5->bV5ProfileData ? ULONGLONG(v5->bV5ProfileData) + v5->bV5ProfileSize : 0;
    const ULONGLONG size = std::max<ULONGLONG>(src->biSize + GetColorCount() * 4ULL, profileEnd);
    const auto* bytes = reinterpret_cast<const BYTE*>(src);
    copy.assign(bytes, bytes + size);
    return reinterpret_cast<const BITMAPINFOHEADER*>(copy.data());
}

bool CDib::Create32AndAlloc(LONG width, LONG height) { return Create32(width, height) && AllocBits(); }

bool CDib::CreateLikeAndAlloc(const BITMAPINFOHEADER* src) { return CreateLike(src) && AllocBits(); }

bool CDib::Attach(BITMAPINFOHEADER* header, void* bits) noexcept
{
    Free();
    if (header) m_header = header;
    if (bits) m_bits = static_cast<BYTE*>(bits);
    return true;
}

void CDib::Detach(BITMAPINFOHEADER** header, void** bits) noexcept
{
    if (header) *header = m_header;
    if (bits) *bits = m_bits;
    m_header = nullptr;
    m_bits = nullptr;
}

LONG CDib::GetHeight() const
{
    if (!m_header || m_header->biHeight == LONG_MIN) return 0;
    return static_cast<LONG>(HeightMagnitude(m_header->biHeight));
}

RGBQUAD* CDib::GetColorTable() const
{
    return m_header ? reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(m_header) + m_header->biSize) : nullptr;
}

UINT CDib::GetColorCount() const
{
    return m_header ? ColorCountOf(m_header->biBitCount, m_header->biClrUsed, m_header->biCompression) : 0;
}

UINT CDib::GetColorTableSize() const
{
    if (!m_header) return 0;
    if (m_header->biCompression == BI_BITFIELDS) return 12;
    return m_header->biBitCount > 8 ? 0 : GetColorCount() * 4;
}

UINT CDib::GetStride() const
{
    if (!m_header) return 0;
    const ULONGLONG stride = ComputeDibStride(m_header->biWidth, m_header->biBitCount);
    return stride > kMaxDibBlockSize ? 0 : static_cast<UINT>(stride);
}

int CDib::GetSignedStride() const
{
    const int stride = static_cast<int>(GetStride());
    return IsTopDown() ? stride : -stride;
}

DWORD CDib::GetImageSize() const
{
    if (!m_header) return 0;
    if (m_header->biCompression != BI_RGB) return m_header->biSizeImage;
    if (m_header->biHeight == LONG_MIN) return 0;
    const ULONGLONG size = ComputeImageSize(m_header->biWidth, m_header->biHeight, m_header->biBitCount);
    return size > kMaxDibBlockSize ? 0 : static_cast<DWORD>(size);
}

BYTE* CDib::GetProfileData() const
{
    const BITMAPV5HEADER* v5 = AsV5(m_header);
    if (!v5 || !v5->bV5ProfileData) return nullptr;
    return reinterpret_cast<BYTE*>(m_header) + v5->bV5ProfileData;
}

DWORD CDib::GetProfileSize() const
{
    const BITMAPV5HEADER* v5 = AsV5(m_header);
    return v5 ? v5->bV5ProfileSize : 0;
}

DWORD CDib::GetHeaderBlockSize() const
{
    if (!m_header) return 0;
    const BITMAPV5HEADER* v5 = AsV5(m_header);
    if (v5 && v5->bV5ProfileData) return v5->bV5ProfileData + v5->bV5ProfileSize;
    return m_header->biSize;
}

// A packed DIB of ours is the header block followed by the pixels, so a profile embedded after
// the colour table moves the pixels behind it.
DWORD CDib::GetBitsOffset() const
{
    if (!m_header) return 0;
    const DWORD table = m_header->biSize + GetColorTableSize();
    const BITMAPV5HEADER* v5 = AsV5(m_header);
    if (v5 && v5->bV5ProfileData >= table) return v5->bV5ProfileData + v5->bV5ProfileSize;
    return table;
}

BYTE* CDib::GetTopRow() const
{
    if (!m_bits) return nullptr;
    const LONG height = GetHeight();
    if (IsTopDown() || height == 0) return m_bits;
    return m_bits + static_cast<ptrdiff_t>(height - 1) * GetStride();
}

bool CDib::HasImage() const
{
    if (!IsValid() || m_header->biWidth < 1 || GetHeight() < 1) return false;
    return ComputeImageSize(m_header->biWidth, m_header->biHeight, m_header->biBitCount) <= kMaxDibBlockSize;
}

// Any header is written as a plain 40-byte one, followed by its colour table or masks.
bool CDib::WriteInfo(void* dest, UINT size) const
{
    if (!dest || !m_header || size < GetInfoSize()) return false;
    auto* out = static_cast<BYTE*>(dest);
    std::memcpy(out, m_header, sizeof(BITMAPINFOHEADER));
    reinterpret_cast<BITMAPINFOHEADER*>(out)->biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(out + sizeof(BITMAPINFOHEADER), GetColorTable(), GetColorTableSize());
    return true;
}

bool CDib::operator==(const CDib& other) const
{
    const DWORD size = GetImageSize();
    if (size != other.GetImageSize()) return false;
    if (size == 0) return true;
    if (!m_bits || !other.m_bits) return m_bits == other.m_bits;
    return std::memcmp(m_bits, other.m_bits, size) == 0;
}

bool CDib::ClipToImage(const RECT& rect, RECT& clipped) const
{
    clipped.left = std::max(rect.left, 0L);
    clipped.top = std::max(rect.top, 0L);
    clipped.right = std::min(rect.right, GetWidth());
    clipped.bottom = std::min(rect.bottom, GetHeight());
    return clipped.left < clipped.right && clipped.top < clipped.bottom;
}

int DpiToPelsPerMeter(double dpi, double add)
{
    const double value = dpi * 10000.0 / 254.0 + add;
    // A resolution read from a file can be anything: outside int the conversion is undefined.
    if (!(value > static_cast<double>(INT_MIN) - 1.0 && value < static_cast<double>(INT_MAX) + 1.0)) return 0;
    return static_cast<int>(value);
}

void DeleteDib(CDib* dib) { delete dib; }
