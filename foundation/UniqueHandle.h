#pragma once
// One move-only owner for system handles; a traits struct per kind says what is empty and
// how it is closed (GCC takes no INVALID_HANDLE_VALUE as a template argument, hence traits).
#include <windows.h>

#include <wininet.h>

#include <utility>

template <class Traits> class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() noexcept = default;
    explicit CUniqueHandle(Type h) noexcept : m_h(h) {}
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_h(other.Detach()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    ~CUniqueHandle() { Reset(); }

    Type Get() const noexcept { return m_h; }
    bool IsValid() const noexcept { return !Traits::IsEmpty(m_h); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Closes the held handle (if any) and takes `h`.
    void Reset(Type h = Traits::Empty()) noexcept
    {
        const Type old = std::exchange(m_h, h);
        if (!Traits::IsEmpty(old)) Traits::Close(old);
    }
    [[nodiscard]] Type Detach() noexcept { return std::exchange(m_h, Traits::Empty()); }
    // Address for an out parameter: closes what is held first.
    Type* Put() noexcept
    {
        Reset();
        return &m_h;
    }

private:
    Type m_h = Traits::Empty();
};

// Kernel objects: both null and INVALID_HANDLE_VALUE mean "none" (CreateFile gives the latter).
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};

struct IconTraits {
    using Type = HICON;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr; }
    static void Close(Type h) noexcept { ::DestroyIcon(h); }
};

template <class T> struct GdiObjectTraits {
    using Type = T;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr; }
    static void Close(Type h) noexcept { ::DestroyMenu(h); }
};

// A DC made by CreateDC/CreateCompatibleDC (a window's DC is released, not deleted).
struct DcTraits {
    using Type = HDC;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr; }
    static void Close(Type h) noexcept { ::DeleteDC(h); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Empty() noexcept { return nullptr; }
    static bool IsEmpty(Type h) noexcept { return h == nullptr; }
    static void Close(Type h) noexcept { ::InternetCloseHandle(h); }
};

using CUniqueKernelHandle = CUniqueHandle<KernelHandleTraits>;
using CUniqueFindHandle = CUniqueHandle<FindHandleTraits>;
using CUniqueIcon = CUniqueHandle<IconTraits>;
using CUniqueGdiObject = CUniqueHandle<GdiObjectTraits<HGDIOBJ>>;
using CUniqueBitmap = CUniqueHandle<GdiObjectTraits<HBITMAP>>;
using CUniqueBrush = CUniqueHandle<GdiObjectTraits<HBRUSH>>;
using CUniqueFont = CUniqueHandle<GdiObjectTraits<HFONT>>;
using CUniqueRegion = CUniqueHandle<GdiObjectTraits<HRGN>>;
using CUniqueMenu = CUniqueHandle<MenuTraits>;
using CUniqueDC = CUniqueHandle<DcTraits>;
using CUniqueModule = CUniqueHandle<ModuleTraits>;
using CUniqueRegKey = CUniqueHandle<RegKeyTraits>;
using CUniqueInternetHandle = CUniqueHandle<InternetHandleTraits>;
