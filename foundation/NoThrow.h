#pragma once
// The edge of every function that answers with an HRESULT or a flag: no exception passes it.
#include "foundation/Exception.h"
#include "foundation/LastError.h"

#include <AtlException.h>

#include <new>

// The HRESULT of `f`; an exception becomes its code: out of memory, the error's own code, or E_FAIL.
template <class F> HRESULT HResultOfCall(F&& f) noexcept
{
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const my::CException& e) {
        return FailureOrFail(static_cast<HRESULT>(e.m_code));
    } catch (const ATL::CAtlException& e) {
        return FailureOrFail(e.m_hr);
    } catch (...) {
        return E_FAIL;
    }
}

// The flag of `f`; an exception is a failure.
template <class F> bool FlagOfCall(F&& f) noexcept
{
    try {
        return f();
    } catch (...) {
        return false;
    }
}
