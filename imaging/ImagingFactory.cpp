#include "imaging/ImagingFactory.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/WicColorContext.h"

#include <utility>

IWICImagingFactory* g_wicFactory = nullptr;

namespace {

struct CReleaseImagingFactoryAtExit {
    ~CReleaseImagingFactoryAtExit() { ReleaseImagingFactoryAtExit(); }
} s_releaseAtExit;

} // namespace

void CreateImagingFactory()
{
    const HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IWICImagingFactory, reinterpret_cast<void**>(&g_wicFactory));
    if (FAILED(hr)) {
        g_wicFactory = nullptr;
        throw my::CException(IDS_WIC_FACTORY_FAILED, hr);
    }
}

void ReleaseImagingFactory() noexcept
{
    if (IWICImagingFactory* factory = std::exchange(g_wicFactory, nullptr)) factory->Release();
}

// Static destruction can run after COM has ended on this thread, when the factory's module may be
// gone: then the pointer is only dropped. Start-up releases it in order while COM still runs.
void ReleaseImagingFactoryAtExit() noexcept
{
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    if (SUCCEEDED(::CoGetApartmentType(&type, &qualifier))) {
        ReleaseImagingFactory();
    } else {
        g_wicFactory = nullptr;
    }
}

void CreateWicColorContext(IWICColorContext*& out, const std::vector<BYTE>& profile)
{
    CreateColorContextFromMemory(out, profile.data(), static_cast<UINT>(profile.size()));
}
