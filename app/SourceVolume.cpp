#include "app/SourceVolume.h"

#include "app/TransferManifest.h"
#include "shell/VolumeSerial.h"

namespace fhw {

CSourceVolume CSourceVolume::Of(const std::wstring& path)
{
    CSourceVolume volume;
    volume.path = path;
    volume.hasSerial = path.size() >= 2 && path[1] == L':' && QueryVolumeSerial(path[0], volume.serial);
    return volume;
}

bool CSourceVolume::IsThere() const
{
    if (!IsDriveOfPathPresent(path)) return false;
    // Another card at the same letter is not the one the sources came from.
    DWORD now = 0;
    return !hasSerial || (QueryVolumeSerial(path[0], now) && now == serial);
}

} // namespace fhw
