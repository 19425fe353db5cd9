#pragma once
// The two object ends of our own COM classes that are not counted in the module's lock count:
// one deleted at its last Release, one whose owner keeps it (a local object of a function).
#include "ComObject.h"

namespace ATL {

// IUnknown over the base's interface map; deleted when Release brings the count to 0.
template <class Base> class CComObjectLocal : public Base {
public:
    using Base::Base;
    virtual ~CComObjectLocal()
    {
        this->SetCountForDestruction();
        this->FinalRelease();
    }

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override { return this->_InternalQueryInterface(iid, out); }
    STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override { return ReleaseDeletingAtZero(this); }
};

// IUnknown over the base's interface map; Release only counts down. The owner destroys the
// object, after every holder of a reference has let go.
template <class Base> class CComObjectOnlyInterface : public Base {
public:
    using Base::Base;
    virtual ~CComObjectOnlyInterface() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override { return this->_InternalQueryInterface(iid, out); }
    STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override { return this->InternalRelease(); }
};

} // namespace ATL
