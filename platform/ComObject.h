#pragma once
// COM objects of our own: threading models, the object root with its reference count and
// critical section, interface maps, the module's lock count and the created object.
#include "ComCriticalSection.h"

#include <objbase.h>

#include <atomic>
#include <climits>
#include <new>

namespace ATL {

// The module's lock count: every live CComObject holds one (DllCanUnloadNow-style bookkeeping).
class CComModuleLockCount {
public:
    static LONG Lock() noexcept { return ++Count(); }
    static LONG Unlock() noexcept { return --Count(); }
    static LONG Get() noexcept { return Count().load(); }

private:
    static std::atomic<LONG>& Count() noexcept
    {
        static std::atomic<LONG> count{0};
        return count;
    }
};

// A critical section that does nothing, for single-threaded objects.
class CComFakeCriticalSection {
public:
    HRESULT Lock() noexcept { return S_OK; }
    HRESULT Unlock() noexcept { return S_OK; }
    HRESULT Init() noexcept { return S_OK; }
    HRESULT Term() noexcept { return S_OK; }
};

struct CComSingleThreadModel {
    static ULONG Increment(LONG* p) noexcept { return static_cast<ULONG>(++*p); }
    static ULONG Decrement(LONG* p) noexcept { return static_cast<ULONG>(--*p); }
    using AutoCriticalSection = CComFakeCriticalSection;
};

struct CComMultiThreadModel {
    static ULONG Increment(LONG* p) noexcept { return static_cast<ULONG>(::InterlockedIncrement(p)); }
    static ULONG Decrement(LONG* p) noexcept { return static_cast<ULONG>(::InterlockedDecrement(p)); }
    using AutoCriticalSection = CComCriticalSection;
};

// One entry of an interface map: the IID and the offset of that interface inside the object.
struct _ATL_INTMAP_ENTRY {
    const IID* piid;
    DWORD_PTR dw;
};

// QueryInterface over a map ending in a null IID; IUnknown is the first entry's pointer.
inline HRESULT AtlInternalQueryInterface(void* object, const _ATL_INTMAP_ENTRY* entries, REFIID iid,
                                         void** out) noexcept
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!entries || !entries->piid) return E_NOINTERFACE;
    if (::IsEqualIID(iid, IID_IUnknown)) {
        auto* unknown = reinterpret_cast<IUnknown*>(static_cast<BYTE*>(object) + entries->dw);
        unknown->AddRef();
        *out = unknown;
        return S_OK;
    }
    for (; entries->piid; ++entries) {
        if (::IsEqualIID(iid, *entries->piid)) {
            auto* unknown = reinterpret_cast<IUnknown*>(static_cast<BYTE*>(object) + entries->dw);
            unknown->AddRef();
            *out = unknown;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

// The root of an object: reference count and the model's critical section, whose
// initialisation can fail (InitializeCriticalSectionEx) and is reported by _AtlInitialConstruct.
template <class ThreadModel> class CComObjectRootEx {
public:
    CComObjectRootEx() noexcept = default;
    CComObjectRootEx(const CComObjectRootEx&) = delete;
    CComObjectRootEx& operator=(const CComObjectRootEx&) = delete;
    ~CComObjectRootEx()
    {
        if (m_critsecInitialized) m_critsec.Term();
    }

    HRESULT _AtlInitialConstruct() noexcept
    {
        if (m_critsecInitialized) return S_OK;
        const HRESULT hr = m_critsec.Init();
        m_critsecInitialized = SUCCEEDED(hr);
        return hr;
    }
    HRESULT FinalConstruct() noexcept { return S_OK; }
    void FinalRelease() noexcept {}

    ULONG InternalAddRef() noexcept { return ThreadModel::Increment(&m_dwRef); }
    ULONG InternalRelease() noexcept { return ThreadModel::Decrement(&m_dwRef); }
    // Set first by the destructor of each self-deleting object end, whatever deleted it (the last
    // Release or a failed creation): a FinalRelease or a member's destructor that takes and drops a
    // reference then counts far from 0 and cannot delete the object a second time.
    void SetCountForDestruction() noexcept { m_dwRef = -(LONG_MAX / 2); }

    void Lock() noexcept { m_critsec.Lock(); }
    void Unlock() noexcept { m_critsec.Unlock(); }
    bool IsCriticalSectionInitialized() const noexcept { return m_critsecInitialized; }

    static HRESULT InternalQueryInterface(void* object, const _ATL_INTMAP_ENTRY* entries, REFIID iid,
                                          void** out) noexcept
    {
        return AtlInternalQueryInterface(object, entries, iid, out);
    }

    LONG m_dwRef = 0;

protected:
    typename ThreadModel::AutoCriticalSection m_critsec;
    bool m_critsecInitialized = false;
};

using CComObjectRoot = CComObjectRootEx<CComSingleThreadModel>;

// Release of an object that its last reference deletes.
template <class Object> ULONG ReleaseDeletingAtZero(Object* object) noexcept
{
    const ULONG count = object->InternalRelease();
    if (count == 0) delete object;
    return count;
}

// The created object: IUnknown over the base's map, deleted at count 0, counted in the
// module's lock count for its whole life.
template <class Base> class CComObject : public Base {
public:
    CComObject() noexcept { CComModuleLockCount::Lock(); }
    virtual ~CComObject()
    {
        this->SetCountForDestruction();
        this->FinalRelease();
        CComModuleLockCount::Unlock();
    }

    STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override { return ReleaseDeletingAtZero(this); }
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override { return this->_InternalQueryInterface(iid, out); }

    // Creates an object with a count of 0; the caller AddRefs (or QueryInterfaces) it.
    static HRESULT CreateInstance(CComObject** out) noexcept
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto* object = new (std::nothrow) CComObject();
        if (!object) return E_OUTOFMEMORY;
        HRESULT hr = object->_AtlInitialConstruct();
        if (SUCCEEDED(hr)) {
            // A reference FinalConstruct takes and drops must not bring the count to 0.
            object->InternalAddRef();
            hr = object->FinalConstruct();
            object->InternalRelease();
        }
        if (FAILED(hr)) {
            delete object;
            return hr;
        }
        *out = object;
        return S_OK;
    }
};

} // namespace ATL

// Offset of interface I inside class X (the object's address is never 0, hence 8).
#define offsetofclass(I, X) (reinterpret_cast<DWORD_PTR>(static_cast<I*>(reinterpret_cast<X*>(8))) - 8)

// clang-format off
#define BEGIN_COM_MAP(X)                                                                               \
    using _ComMapClass = X;                                                                            \
    HRESULT _InternalQueryInterface(REFIID iid, void** out) noexcept                                   \
    {                                                                                                  \
        return this->InternalQueryInterface(this, _GetEntries(), iid, out);                            \
    }                                                                                                  \
    static const ::ATL::_ATL_INTMAP_ENTRY* _GetEntries() noexcept                                      \
    {                                                                                                  \
        static const ::ATL::_ATL_INTMAP_ENTRY entries[] = {
#define COM_INTERFACE_ENTRY(I) {&__uuidof(I), offsetofclass(I, _ComMapClass)},
#define COM_INTERFACE_ENTRY_IID(iid, I) {&(iid), offsetofclass(I, _ComMapClass)},
#define END_COM_MAP()                                                                                  \
            {nullptr, 0}};                                                                             \
        return entries;                                                                                \
    }
// clang-format on
