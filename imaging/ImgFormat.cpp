#include "imaging/ImgFormat.h"

#include "ids/imaging.h"

#include <boost/make_shared.hpp>

UINT GetImgFormatBitsPerPixel(ImgFormat format)
{
    switch (format) {
    case BGRA32: return 32;
    case BGR24: return 24;
    case CMYKA40: return 40;
    case CMYK32: return 32;
    case MONO8: return 8;
    case MONO1: return 1;
    }
    return 0;
}

std::wstring ImgFormatToString(ImgFormat format)
{
    switch (format) {
    case BGRA32: return L"BGRA32";
    case BGR24: return L"BGR24";
    case CMYKA40: return L"CMYKA40";
    case CMYK32: return L"CMYK32";
    case MONO8: return L"MONO8";
    case MONO1: return L"MONO1";
    }
    return L"ImgFormat::(" + std::to_wstring(static_cast<UINT>(format)) + L")";
}

DWORD ColorSpaceOfImgFormat(ImgFormat format)
{
    switch (format) {
    case BGRA32:
    case BGR24: return kColorSpaceRgb;
    case CMYKA40:
    case CMYK32: return kColorSpaceCmyk;
    case MONO8:
    case MONO1: return kColorSpaceGray;
    }
    return 0;
}

DWORD ColorSpaceOfColorType(ImgColorType type)
{
    switch (type) {
    case ImgColorType::Indexed:
    case ImgColorType::Rgb: return kColorSpaceRgb;
    case ImgColorType::Gray: return kColorSpaceGray;
    case ImgColorType::Cmyk: return kColorSpaceCmyk;
    case ImgColorType::None: break;
    }
    return 0;
}

void InitImgFormatNames(CNamedIntTable& table)
{
    CNamedIntTable names;
    for (UINT value = 0; value < kImgFormatCount; ++value) {
        auto entry = boost::make_shared<CNamedInt>(static_cast<int>(value));
        entry->SetNameFromId(IDS_IMG_FORMAT_BGRA32 + value);
        names.push_back(entry);
    }
    table.swap(names);
}

const CNamedIntTable& GetImgFormatTable()
{
    // A missing string throws here, at the first caller, and the next call tries again.
    static const CNamedIntTable table = [] {
        CNamedIntTable names;
        InitImgFormatNames(names);
        return names;
    }();
    return table;
}
