#include <ComObject.h>
#include <ComObjectLocal.h>

#include <gtest/gtest.h>

#include <ocidl.h>

namespace {

int g_destroyed = 0;

// Two interfaces of the test object; any pair of IUnknown-derived interfaces would do.
template <class ThreadModel>
class CTestObjectT : public ATL::CComObjectRootEx<ThreadModel>, public IPersist, public IRunnableObject {
public:
    BEGIN_COM_MAP(CTestObjectT)
        COM_INTERFACE_ENTRY(IPersist)
        COM_INTERFACE_ENTRY(IRunnableObject)
    END_COM_MAP()

    ~CTestObjectT() { ++g_destroyed; }

    HRESULT FinalConstruct() noexcept { return s_finalConstruct; }

    STDMETHOD(GetClassID)(CLSID* id) override
    {
        *id = CLSID_NULL;
        return S_OK;
    }
    STDMETHOD(GetRunningClass)(CLSID*) override { return E_NOTIMPL; }
    STDMETHOD(Run)(LPBINDCTX) override { return S_OK; }
    STDMETHOD_(BOOL, IsRunning)() override { return TRUE; }
    STDMETHOD(LockRunning)(BOOL, BOOL) override { return S_OK; }
    STDMETHOD(SetContainedObject)(BOOL) override { return S_OK; }

    static inline HRESULT s_finalConstruct = S_OK;
};

// An object whose critical section cannot be set up.
class CFailingRoot : public CTestObjectT<ATL::CComMultiThreadModel> {
public:
    HRESULT _AtlInitialConstruct() noexcept { return E_OUTOFMEMORY; }
};

template <class Object> ULONG CountOf(Object* object)
{
    object->AddRef();
    return object->Release();
}

template <class ThreadModel> void CheckLifetime()
{
    using Object = ATL::CComObject<CTestObjectT<ThreadModel>>;
    const LONG locks = ATL::CComModuleLockCount::Get();
    const int destroyed = g_destroyed;
    Object* object = nullptr;
    ASSERT_EQ(Object::CreateInstance(&object), S_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(ATL::CComModuleLockCount::Get(), locks + 1);
    EXPECT_TRUE(object->IsCriticalSectionInitialized());

    IPersist* persist = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)), S_OK);
    EXPECT_EQ(CountOf(object), 1u);

    // Every interface of the map leads back to the same identity.
    IRunnableObject* runnable = nullptr;
    ASSERT_EQ(persist->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&runnable)), S_OK);
    EXPECT_TRUE(runnable->IsRunning());
    IUnknown* fromPersist = nullptr;
    IUnknown* fromRunnable = nullptr;
    ASSERT_EQ(persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromPersist)), S_OK);
    ASSERT_EQ(runnable->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromRunnable)), S_OK);
    EXPECT_EQ(fromPersist, fromRunnable);
    EXPECT_EQ(CountOf(object), 4u);

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(persist->QueryInterface(IID_IStream, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(persist->QueryInterface(IID_IPersist, nullptr), E_POINTER);

    fromRunnable->Release();
    fromPersist->Release();
    runnable->Release();
    EXPECT_EQ(g_destroyed, destroyed);
    EXPECT_EQ(persist->Release(), 0u);
    EXPECT_EQ(g_destroyed, destroyed + 1);
    EXPECT_EQ(ATL::CComModuleLockCount::Get(), locks);
}

} // namespace

TEST(ComObject, CountsReferencesAndModuleLocksAndAnswersItsMap)
{
    CheckLifetime<ATL::CComSingleThreadModel>();
    CheckLifetime<ATL::CComMultiThreadModel>();
}

TEST(ComObject, AFailedConstructionDeletesTheObjectAndReleasesItsLock)
{
    const LONG locks = ATL::CComModuleLockCount::Get();
    const int destroyed = g_destroyed;

    ATL::CComObject<CFailingRoot>* failing = reinterpret_cast<ATL::CComObject<CFailingRoot>*>(1);
    EXPECT_EQ(ATL::CComObject<CFailingRoot>::CreateInstance(&failing), E_OUTOFMEMORY);
    EXPECT_EQ(failing, nullptr);
    EXPECT_EQ(g_destroyed, destroyed + 1);
    EXPECT_EQ(ATL::CComModuleLockCount::Get(), locks);

    using Object = ATL::CComObject<CTestObjectT<ATL::CComSingleThreadModel>>;
    CTestObjectT<ATL::CComSingleThreadModel>::s_finalConstruct = E_ACCESSDENIED;
    Object* object = nullptr;
    EXPECT_EQ(Object::CreateInstance(&object), E_ACCESSDENIED);
    CTestObjectT<ATL::CComSingleThreadModel>::s_finalConstruct = S_OK;
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(g_destroyed, destroyed + 2);
    EXPECT_EQ(ATL::CComModuleLockCount::Get(), locks);

    EXPECT_EQ(Object::CreateInstance(nullptr), E_POINTER);
}

namespace {

// Takes and drops a reference to itself in FinalConstruct and in FinalRelease, as an object that
// hands itself to a helper for a moment does.
class CSelfReferencing : public CTestObjectT<ATL::CComSingleThreadModel> {
public:
    // Once a second destruction began nothing is freed, so that it shows as a count, not a crash.
    static void operator delete(void* p) noexcept
    {
        if (s_finalReleases < 2) ::operator delete(p);
    }

    HRESULT FinalConstruct() noexcept
    {
        TakeAndDropReference();
        return S_OK;
    }
    void FinalRelease() noexcept
    {
        // A second call is the object being destroyed again; stop there and let the count show it.
        if (++s_finalReleases == 1) TakeAndDropReference();
    }
    void TakeAndDropReference() noexcept
    {
        static_cast<IPersist*>(this)->AddRef();
        static_cast<IPersist*>(this)->Release();
    }
    static inline int s_finalReleases = 0;
};

} // namespace

TEST(ComObject, AReferenceTakenAndDroppedWhileConstructingOrDestroyingDeletesNoObjectTwice)
{
    const LONG locks = ATL::CComModuleLockCount::Get();
    const int destroyed = g_destroyed;
    CSelfReferencing::s_finalReleases = 0;
    ATL::CComObject<CSelfReferencing>* object = nullptr;
    ASSERT_EQ(ATL::CComObject<CSelfReferencing>::CreateInstance(&object), S_OK);
    ASSERT_EQ(g_destroyed, destroyed) << "FinalConstruct's reference deleted the new object";
    EXPECT_EQ(object->AddRef(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(g_destroyed, destroyed + 1);
    EXPECT_EQ(CSelfReferencing::s_finalReleases, 1);
    EXPECT_EQ(ATL::CComModuleLockCount::Get(), locks);

    // The object end that the module does not count deletes the same way.
    CSelfReferencing::s_finalReleases = 0;
    auto* local = new ATL::CComObjectLocal<CSelfReferencing>();
    local->AddRef();
    EXPECT_EQ(local->Release(), 0u);
    EXPECT_EQ(g_destroyed, destroyed + 2);
    EXPECT_EQ(CSelfReferencing::s_finalReleases, 1);

    // Deleted directly at count 0, as a creation that fails after the constructor deletes it.
    CSelfReferencing::s_finalReleases = 0;
    delete new ATL::CComObjectLocal<CSelfReferencing>();
    EXPECT_EQ(g_destroyed, destroyed + 3);
    EXPECT_EQ(CSelfReferencing::s_finalReleases, 1);
}
