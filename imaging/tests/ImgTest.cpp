#include "imaging/Img.h"

#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "ids/imaging.h"
#include "imaging/ImagingFactory.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <cmath>
#include <sstream>

namespace {

const ImgFormat kAllFormats[] = {BGRA32, BGR24, CMYKA40, CMYK32, MONO8, MONO1};

// An image of every format with bytes that differ per position.
CImg MakeImage(ImgFormat format, UINT w, UINT h, BYTE seed)
{
    CImg img(format, w, h);
    img.AllocBits();
    for (size_t i = 0; i < img.m_bits.size(); ++i) img.m_bits[i] = static_cast<BYTE>(seed + i * 7);
    img.SetDpiX(72.0);
    img.SetDpiY(96.0);
    return img;
}

std::wstring DiffText(const CImg& a, const CImg& b)
{
    try {
        a.DiffFields(b);
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_INTERNAL_ERROR));
        return e.m_message;
    }
    return L"";
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

} // namespace

TEST(Img, StrideIsRowBytesRoundedToFour)
{
    struct Case {
        ImgFormat format;
        UINT width;
        UINT stride;
    };
    const Case cases[] = {
        {BGR24, 3, 12}, {MONO1, 10, 4}, {MONO1, 1, 4},   {CMYKA40, 2, 12}, {BGRA32, 0, 0},
        {MONO8, 5, 8},  {MONO1, 33, 8}, {CMYK32, 3, 12}, {BGRA32, 1, 4},   {static_cast<ImgFormat>(6), 9, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CImg(c.format, c.width, 1).GetStride(), c.stride) << c.format << " " << c.width;
    for (ImgFormat format : kAllFormats) {
        for (UINT width = 0; width < 70; ++width) {
            const UINT stride = CImg(format, width, 1).GetStride();
            EXPECT_EQ(stride % 4, 0u);
            EXPECT_GE(stride * 8, width * GetImgFormatBitsPerPixel(format));
            EXPECT_LT(stride * 8, width * GetImgFormatBitsPerPixel(format) + 32 + 7);
        }
    }
}

TEST(Img, SizesThatDoNotFitAreRefused)
{
    struct Case {
        ImgFormat format;
        UINT width;
        UINT height;
        bool fits;
    };
    const Case cases[] = {
        {BGRA32, 0xFFFFFFFF, 1, false},  // the row alone wraps 32 bits
        {CMYKA40, 0x40000000, 1, false}, // 40 bits a pixel
        {BGRA32, 40000, 40000, false},   // 6.4 GB of pixels
        {BGR24, 0x10000, 0x10000, false},
        {MONO1, 0x80000000, 1, true}, // 256 MB row, one row
        {BGRA32, 1000, 1000, true},
    };
    for (const Case& c : cases) {
        CImg img(c.format, c.width, c.height);
        UINT size = 0;
        EXPECT_EQ(img.GetBitsSize(size), c.fits) << c.width << "x" << c.height;
        if (c.fits) continue;
        EXPECT_EQ(img.GetStride() == 0 || size == 0, true);
        try {
            img.AllocBits();
            ADD_FAILURE() << "no exception for " << c.width << "x" << c.height;
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_BAD_IMAGE_SIZE));
        }
        EXPECT_TRUE(img.m_bits.empty());
        EXPECT_FALSE(img.HasAllBits());
    }
}

TEST(Img, ConstructionComparisonAndCopiesInEveryFormat)
{
    for (ImgFormat format : kAllFormats) {
        const CImg empty(format);
        EXPECT_EQ(empty.m_w, 0u);
        EXPECT_TRUE(empty.m_bits.empty());
        EXPECT_EQ(empty.m_dpiX, 0.0);
        EXPECT_FALSE(empty.m_cc);
        EXPECT_TRUE(empty == CImg(format));

        CImg img = MakeImage(format, 5, 3, 1);
        EXPECT_EQ(img.m_bits.size(), static_cast<size_t>(img.GetStride()) * 3);
        CImg copy(img);
        EXPECT_TRUE(copy == img);
        copy.m_bits[img.m_bits.size() - 1] ^= 1;
        EXPECT_FALSE(copy == img);
        EXPECT_TRUE(Contains(DiffText(copy, img), L"CImg::m_bits"));

        CImgPtr clone = img.Clone();
        EXPECT_TRUE(*clone == img);
        CImgPtr header = img.CloneHeader();
        EXPECT_EQ(header->m_format, format);
        EXPECT_EQ(header->m_w, 5u);
        EXPECT_EQ(header->m_h, 3u);
        EXPECT_EQ(header->m_dpiY, 96.0);
        EXPECT_TRUE(header->m_bits.empty());

        CImg other = MakeImage(format == MONO1 ? MONO8 : MONO1, 2, 2, 9);
        CImg a = img, b = other;
        a.swap(b);
        EXPECT_TRUE(a == other);
        EXPECT_TRUE(b == img);
        EXPECT_TRUE(Contains(DiffText(img, other), L"CImg::m_format"));
        EXPECT_NO_THROW(img.DiffFields(*clone));
    }
}

TEST(Img, FieldsAreComparedInOrder)
{
    const CImg base = MakeImage(BGR24, 3, 2, 0);
    CImg dpi = base;
    dpi.SetDpiY(97.0);
    EXPECT_FALSE(dpi == base);
    EXPECT_TRUE(Contains(DiffText(base, dpi), L"CImg::m_dpiY"));
    CImg nan = base;
    nan.SetDpiX(std::nan(""));
    EXPECT_FALSE(nan == nan);
    CImg wide = base;
    wide.m_w = 4;
    EXPECT_TRUE(Contains(DiffText(base, wide), L"CImg::m_w"));

    CImg withCc = base;
    auto cc = boost::make_shared<CColorContext>();
    cc->SetExifColorSpace(1);
    withCc.SetColorContext(cc);
    EXPECT_FALSE(withCc == base);
    EXPECT_TRUE(Contains(DiffText(withCc, base), L"m_cc only right is null!"));
    EXPECT_TRUE(Contains(DiffText(base, withCc), L"m_cc only left is null!"));
    CImg otherCc = withCc;
    EXPECT_NE(otherCc.m_cc.get(), withCc.m_cc.get()); // copies own their colour context
    EXPECT_TRUE(otherCc == withCc);
    otherCc.m_cc->SetProfile(std::vector<BYTE>{1, 2, 3});
    EXPECT_FALSE(otherCc == withCc);
    EXPECT_TRUE(Contains(DiffText(otherCc, withCc), L"CColorContext::m_type"));
    CImgPtr clone = withCc.Clone();
    EXPECT_NE(clone->m_cc.get(), withCc.m_cc.get());
    EXPECT_TRUE(*clone->m_cc == *withCc.m_cc);
}

TEST(Img, ByteSizeAndDump)
{
    CImg img = MakeImage(BGR24, 3, 2, 0x10);
    EXPECT_EQ(img.GetByteSize(), 36u + 24u);
    auto cc = boost::make_shared<CColorContext>();
    cc->SetProfile(std::vector<BYTE>(10, 1));
    img.SetColorContext(cc);
    EXPECT_EQ(img.GetByteSize(), 44u + 24u + 10u);

    img.SetColorContext(CColorContextPtr());
    std::wostringstream os;
    os << std::hex;
    img.Dump(os, true);
    std::wostringstream row0, row1;
    for (int i = 0; i < 12; ++i) {
        row0 << std::hex << (img.m_bits[i] < 16 ? L"0" : L"") << img.m_bits[i];
        row1 << std::hex << (img.m_bits[12 + i] < 16 ? L"0" : L"") << img.m_bits[12 + i];
    }
    EXPECT_EQ(os.str(), L"Img [BGR24], (3, 2), dpi: (72, 96), bits: 24 bytes\nColorContext: (null)\n" + row0.str() +
                            L"\n" + row1.str());
    EXPECT_EQ(ImgFormatToString(static_cast<ImgFormat>(6)), L"ImgFormat::(6)");
    EXPECT_EQ(ImgFormatToString(MONO1), L"MONO1");
}

TEST(Img, FormatNamesComeFromTheStringTable)
{
    const CNamedIntTable& table = GetImgFormatTable();
    ASSERT_EQ(table.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(table[static_cast<size_t>(i)]->m_value, i);
        EXPECT_EQ(table[static_cast<size_t>(i)]->m_name, LoadResString(static_cast<UINT>(IDS_IMG_FORMAT_BGRA32 + i)));
    }
    EXPECT_EQ(&GetImgFormatTable(), &table);
}

TEST(Img, ColourSpacesOfFormats)
{
    EXPECT_EQ(ColorSpaceOfImgFormat(BGR24), 0x52474220u);
    EXPECT_EQ(ColorSpaceOfImgFormat(CMYK32), 0x434D594Bu);
    EXPECT_EQ(ColorSpaceOfImgFormat(MONO1), 0x47524159u);
    EXPECT_EQ(ColorSpaceOfImgFormat(static_cast<ImgFormat>(9)), 0u);
    EXPECT_EQ(ColorSpaceOfColorType(ImgColorType::Indexed), ColorSpaceOfImgFormat(BGRA32));
    EXPECT_EQ(ColorSpaceOfColorType(ImgColorType::None), 0u);
}

TEST(ImagingFactory, CreatesAndReleasesOnce)
{
    ASSERT_EQ(g_wicFactory, nullptr);
    {
        CImagingFactoryHolder holder;
        ASSERT_NE(GetImagingFactory(), nullptr);
        // The context holds the bytes it was made from.
        IWICColorContext* context = nullptr;
        const std::vector<BYTE> bytes(132, 7);
        CreateWicColorContext(context, bytes);
        ASSERT_NE(context, nullptr);
        WICColorContextType type = WICColorContextUninitialized;
        EXPECT_EQ(context->GetType(&type), S_OK);
        EXPECT_EQ(type, WICColorContextProfile);
        std::vector<BYTE> back(bytes.size());
        UINT size = 0;
        EXPECT_EQ(context->GetProfileBytes(static_cast<UINT>(back.size()), back.data(), &size), S_OK);
        EXPECT_EQ(back, bytes);
        context->Release();
    }
    EXPECT_EQ(g_wicFactory, nullptr);
    ReleaseImagingFactory();
    EXPECT_EQ(g_wicFactory, nullptr);
}

TEST(ImagingStrings, EveryMessageHasBothLanguages)
{
    const UINT ids[] = {IDS_IMG_FORMAT_BGRA32,         IDS_IMG_FORMAT_BGR24,         IDS_IMG_FORMAT_CMYKA40,
                        IDS_IMG_FORMAT_CMYK32,         IDS_IMG_FORMAT_MONO8,         IDS_IMG_FORMAT_MONO1,
                        IDS_PATH_EMPTY,                IDS_UNSUPPORTED_IMAGE_FORMAT, IDS_WIC_FACTORY_FAILED,
                        IDS_WIC_PIXEL_FORMAT_FAILED,   IDS_WIC_PALETTE_CREATE_FAILED, IDS_WIC_PALETTE_GET_FAILED,
                        IDS_WIC_PALETTE_ALPHA_FAILED,  IDS_WIC_PALETTE_COUNT_FAILED, IDS_WIC_PALETTE_COLOR_FAILED,
                        IDS_WIC_DECODER_FAILED,        IDS_WIC_FRAME_FAILED,         IDS_WIC_SIZE_FAILED,
                        IDS_WIC_UNKNOWN_FORMAT,        IDS_WIC_DECODE_FAILED,        IDS_WIC_COLOR_CONTEXT_CREATE_FAILED,
                        IDS_WIC_COLOR_CONTEXT_INIT_FAILED, IDS_WIC_CONVERTER_CREATE_FAILED,
                        IDS_WIC_CONVERTER_INIT_FAILED, IDS_CLIPBOARD_DATA_SIZE_INVALID};
    for (UINT id : ids) {
        for (LANGID language : {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)}) {
            EXPECT_TRUE(::FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language)) << id;
        }
        EXPECT_FALSE(LoadResString(id).empty()) << id;
    }
}
