#pragma once
// Owning wrappers for COM interface pointers, BSTR and VARIANT.
#include <memory>
#include <objbase.h>
#include <oleauto.h>
#include <utility>

namespace ATL {

template <class T> class CComPtr {
public:
    CComPtr() noexcept = default;
    CComPtr(T* p) noexcept : p(p)
    {
        if (p) p->AddRef();
    }
    CComPtr(const CComPtr& other) noexcept : CComPtr(other.p) {}
    CComPtr(CComPtr&& other) noexcept : p(other.p) { other.p = nullptr; }
    ~CComPtr() { Release(); }

    CComPtr& operator=(T* q) noexcept
    {
        if (q) q->AddRef();
        Release();
        p = q;
        return *this;
    }
    CComPtr& operator=(const CComPtr& other) noexcept { return *this = other.p; }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != std::addressof(other)) {
            Release();
            p = std::exchange(other.p, nullptr);
        }
        return *this;
    }

    operator T*() const noexcept { return p; }
    T* operator->() const noexcept { return p; }
    T& operator*() const noexcept { return *p; }
    // Address for an out parameter: the pointer must be empty.
    T** operator&() noexcept { return &p; }
    bool operator!() const noexcept { return p == nullptr; }

    void Release() noexcept
    {
        if (T* q = std::exchange(p, nullptr)) q->Release();
    }
    void Attach(T* q) noexcept
    {
        Release();
        p = q;
    }
    T* Detach() noexcept { return std::exchange(p, nullptr); }
    HRESULT CopyTo(T** out) const noexcept
    {
        if (!out) return E_POINTER;
        *out = p;
        if (p) p->AddRef();
        return S_OK;
    }
    HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) noexcept
    {
        Release();
        return ::CoCreateInstance(clsid, outer, context, __uuidof(T), reinterpret_cast<void**>(&p));
    }
    template <class Q> HRESULT QueryInterface(Q** out) const noexcept
    {
        return p ? p->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(out)) : E_POINTER;
    }

    T* p = nullptr;
};

// An interface pointer obtained by QueryInterface from another one.
template <class T> class CComQIPtr : public CComPtr<T> {
public:
    CComQIPtr() noexcept = default;
    explicit CComQIPtr(IUnknown* unknown) noexcept
    {
        if (unknown) unknown->QueryInterface(__uuidof(T), reinterpret_cast<void**>(&this->p));
    }
};

class CComBSTR {
public:
    CComBSTR() noexcept = default;
    CComBSTR(const wchar_t* text) : m_str(text ? ::SysAllocString(text) : nullptr) {}
    CComBSTR(const wchar_t* text, UINT length) : m_str(::SysAllocStringLen(text, length)) {}
    CComBSTR(const CComBSTR& other) : m_str(other.Copy()) {}
    CComBSTR(CComBSTR&& other) noexcept : m_str(std::exchange(other.m_str, nullptr)) {}
    ~CComBSTR() { Empty(); }
    CComBSTR& operator=(const CComBSTR& other)
    {
        if (this != &other) {
            Empty();
            m_str = other.Copy();
        }
        return *this;
    }
    CComBSTR& operator=(CComBSTR&& other) noexcept
    {
        if (this != std::addressof(other)) {
            Empty();
            m_str = std::exchange(other.m_str, nullptr);
        }
        return *this;
    }

    operator BSTR() const noexcept { return m_str; }
    BSTR* operator&() noexcept { return &m_str; }
    UINT Length() const noexcept { return ::SysStringLen(m_str); }
    BSTR Copy() const { return m_str ? ::SysAllocStringLen(m_str, ::SysStringLen(m_str)) : nullptr; }
    BSTR Detach() noexcept { return std::exchange(m_str, nullptr); }
    void Attach(BSTR s) noexcept
    {
        Empty();
        m_str = s;
    }
    void Empty() noexcept
    {
        ::SysFreeString(m_str);
        m_str = nullptr;
    }

    BSTR m_str = nullptr;
};

class CComVariant : public VARIANT {
public:
    CComVariant() noexcept { ::VariantInit(this); }
    CComVariant(const wchar_t* text) : CComVariant()
    {
        vt = VT_BSTR;
        bstrVal = ::SysAllocString(text);
    }
    CComVariant(IUnknown* unknown) noexcept : CComVariant()
    {
        vt = VT_UNKNOWN;
        punkVal = unknown;
        if (unknown) unknown->AddRef();
    }
    CComVariant(bool value) noexcept : CComVariant()
    {
        vt = VT_BOOL;
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    CComVariant(long value) noexcept : CComVariant()
    {
        vt = VT_I4;
        lVal = value;
    }
    CComVariant(const CComVariant& other) : CComVariant() { ::VariantCopy(this, const_cast<CComVariant*>(&other)); }
    CComVariant& operator=(const CComVariant& other)
    {
        if (this != &other) ::VariantCopy(this, const_cast<CComVariant*>(&other));
        return *this;
    }
    ~CComVariant() { ::VariantClear(this); }

    HRESULT Clear() noexcept { return ::VariantClear(this); }
    HRESULT ChangeType(VARTYPE type, const VARIANT* source = nullptr) noexcept
    {
        return ::VariantChangeType(this, source ? const_cast<VARIANT*>(source) : this, 0, type);
    }
};

} // namespace ATL
