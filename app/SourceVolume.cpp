#include "app/SourceVolume.h"

#include "app/TransferManifest.h"

namespace fhw {

CSourceVolume CSourceVolume::Of(const std::wstring& path)
{
    CSourceVolume source;
    source.path = path;
    if (path.size() >= 2 && path[1] == L':') source.volume = VolumeAtLetter(path[0]);
    return source;
}

bool CSourceVolume::IsThere() const
{
    if (!IsDriveOfPathPresent(path)) return false;
    // Another card at the same letter is not the one the sources came from.
    return !volume.serial || VolumeAtLetter(path[0]) == volume;
}

} // namespace fhw
