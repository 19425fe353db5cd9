#pragma once
// The volume a run takes its sources from, noted before the operation, so that its end can tell
// the drive's own going (pulled, or another card at its letter) from a source that another hand
// took from a drive still there.
#include "shell/LetterVolumes.h"

#include <string>

namespace fhw {

struct CSourceVolume {
    std::wstring path;    // the source folder
    CLetterVolume volume; // at its drive letter; none for a path without one

    static CSourceVolume Of(const std::wstring& path);
    // True while the drive of `path` is there with the volume noted; paths without a drive letter
    // count as there.
    bool IsThere() const;
};

} // namespace fhw
