#include "imaging/Img.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/RowBytes.h"
#include "imaging/TypeName.h"

#include <boost/make_shared.hpp>

#include <atomic>
#include <climits>
#include <iomanip>
#include <new>
#include <utility>

namespace {

std::atomic<ULONGLONG> s_pixelCeiling{kDefaultPixelCeiling};

} // namespace

void CImg::SetPixelCeiling(ULONGLONG pixels) { s_pixelCeiling = pixels; }

ULONGLONG CImg::GetPixelCeiling() { return s_pixelCeiling; }

ULONGLONG ComputeImgStride(ImgFormat format, UINT width)
{
    return AlignedRowBytes(width, GetImgFormatBitsPerPixel(format));
}

UINT CImg::GetStride() const
{
    // GDI+ takes the stride as INT: a longer row cannot be described at all.
    const ULONGLONG stride = ComputeImgStride(m_format, m_w);
    return stride > INT_MAX ? 0 : static_cast<UINT>(stride);
}

bool CImg::GetBitsSize(UINT& size) const
{
    size = 0;
    const ULONGLONG stride = ComputeImgStride(m_format, m_w);
    if (stride > INT_MAX) return false;
    const ULONGLONG total = stride * m_h; // both below 2^32: no overflow in 64 bits
    if (total > UINT_MAX) return false;
    size = static_cast<UINT>(total);
    return true;
}

// A header's word alone must not make the process allocate and zero gigabytes: the geometry is
// checked before a byte is asked for.
void CImg::AllocBits()
{
    UINT size = 0;
    if (!GetBitsSize(size)) {
        throw my::CException(IDS_BAD_IMAGE_SIZE, std::to_wstring(m_w), std::to_wstring(m_h));
    }
    const std::wstring pixels = std::to_wstring(m_w) + L" x " + std::to_wstring(m_h);
    const ULONGLONG ceiling = GetPixelCeiling();
    if (static_cast<ULONGLONG>(m_w) * m_h > ceiling) {
        throw my::CException(IDS_IMAGE_TOO_LARGE, pixels, std::to_wstring(ceiling / 1'000'000));
    }
    try {
        m_bits.assign(size, 0);
    } catch (const std::bad_alloc&) {
        throw my::CException(IDS_IMAGE_MEMORY_FAILED, E_OUTOFMEMORY, pixels);
    }
}

bool CImg::HasAllBits() const
{
    UINT size = 0;
    return GetBitsSize(size) && m_bits.size() >= size;
}

CImg& CImg::operator=(const CImg& other)
{
    if (this == &other) return *this;
    CopyHeader(other);
    m_bits = other.m_bits;
    return *this;
}

bool CImg::operator==(const CImg& other) const
{
    if (m_format != other.m_format || m_w != other.m_w || m_h != other.m_h) return false;
    if (m_bits != other.m_bits) return false;
    if (!(m_dpiX == other.m_dpiX) || !(m_dpiY == other.m_dpiY)) return false;
    if (m_cc == other.m_cc) return true;
    if (!m_cc || !other.m_cc) return false;
    return *m_cc == *other.m_cc;
}

void CImg::CopyHeader(const CImg& other)
{
    m_format = other.m_format;
    m_w = other.m_w;
    m_h = other.m_h;
    m_dpiX = other.m_dpiX;
    m_dpiY = other.m_dpiY;
    m_cc = other.m_cc ? other.m_cc->Clone() : CColorContextPtr();
}

boost::shared_ptr<CImg> CImg::Clone() const { return boost::make_shared<CImg>(*this); }

boost::shared_ptr<CImg> CImg::CloneHeader() const
{
    auto img = boost::make_shared<CImg>(m_format);
    img->CopyHeader(*this);
    return img;
}

void CImg::swap(CImg& other) noexcept
{
    std::swap(m_format, other.m_format);
    std::swap(m_w, other.m_w);
    std::swap(m_h, other.m_h);
    m_bits.swap(other.m_bits);
    std::swap(m_dpiX, other.m_dpiX);
    std::swap(m_dpiY, other.m_dpiY);
    m_cc.swap(other.m_cc);
}

unsigned CImg::GetByteSize() const
{
    unsigned size = 4 + 4 + 4 + 8 + 8 + 8 + static_cast<unsigned>(m_bits.size());
    if (m_cc) size += m_cc->GetByteSize();
    return size;
}

void CImg::DiffFields(const CImg& other) const
{
    const std::wstring prefix = RuntimeTypeName(typeid(*this)) + L"::";
    if (m_format != other.m_format) check_equals(prefix + L"m_format");
    if (m_w != other.m_w) check_equals(prefix + L"m_w");
    if (m_h != other.m_h) check_equals(prefix + L"m_h");
    if (m_bits != other.m_bits) check_equals(prefix + L"m_bits");
    if (!(m_dpiX == other.m_dpiX)) check_equals(prefix + L"m_dpiX");
    if (!(m_dpiY == other.m_dpiY)) check_equals(prefix + L"m_dpiY");
    if (m_cc && other.m_cc) {
        m_cc->DiffFields(*other.m_cc);
    } else if (m_cc) {
        check_equals(prefix + L"m_cc only right is null!");
    } else if (other.m_cc) {
        check_equals(prefix + L"m_cc only left is null!");
    }
}

void CImg::Dump(std::wostream& os, bool withPixels) const
{
    os << std::dec << L"Img [" << ImgFormatToString(m_format) << L"]" << L", (" << m_w << L", " << m_h << L")"
       << L", dpi: (" << m_dpiX << L", " << m_dpiY << L")" << L", bits: " << m_bits.size() << L" bytes\n";
    if (m_cc) {
        m_cc->Dump(os);
    } else {
        os << L"ColorContext: (null)";
    }
    if (!withPixels) return;
    const size_t stride = GetStride();
    for (UINT y = 0; y < m_h && stride; ++y) {
        const size_t offset = static_cast<size_t>(y) * stride;
        if (offset + stride > m_bits.size()) break;
        os << L"\n";
        DumpHexBytes(os, m_bits.data() + offset, stride, stride + 1);
    }
}

void DeleteImg(CImg* img) { delete img; }

void DumpHexBytes(std::wostream& os, const BYTE* data, size_t size, size_t perLine)
{
    const auto flags = os.flags();
    const wchar_t fill = os.fill();
    for (size_t i = 0; i < size; ++i) {
        if (i && perLine && i % perLine == 0) os << L"\n";
        os << std::hex << std::setw(2) << std::setfill(L'0') << static_cast<unsigned>(data[i]);
    }
    os.flags(flags);
    os.fill(fill);
}
