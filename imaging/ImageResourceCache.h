#pragma once
// Pictures of "IMAGE" resources, decoded once by id as BGRA32 images and kept.
#include "imaging/ImgLoader.h"

#include <map>

class CImageResourceCache {
public:
    CImageResourceCache();
    // Decodes the resource unless it is already held; the loader's errors pass through.
    void Load(int id);

    std::map<int, CImgPtr> m_images;
    wic::CImgLoader m_loader;
};
