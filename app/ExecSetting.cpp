#include "app/ExecSetting.h"

#include "foundation/PlatformPaths.h"

#include <shlobj.h>

namespace fhw {

CExecSetting::CExecSetting() : SrcFolder(L"\\DCIM"), SrcFname(L"^[0-9]{3}[A-Z_]{5}$")
{
    if (!GetSpecialFolderPath(DstFolder, nullptr, CSIDL_MYPICTURES, true)) DstFolder.clear();
}

} // namespace fhw
