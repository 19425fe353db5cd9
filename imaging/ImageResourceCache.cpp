#include "imaging/ImageResourceCache.h"

CImageResourceCache::CImageResourceCache() { m_loader.m_formats = std::bitset<kImgFormatCount>(1u << BGRA32); }

void CImageResourceCache::Load(int id)
{
    if (m_images.count(id)) return;
    CImgPtr img;
    m_loader.LoadFromResource(img, static_cast<WORD>(id));
    if (img) m_images[id] = img;
}
