#include "inet/Md5.h"

#include "foundation/LastError.h"
#include "foundation/NoThrow.h"
#include "foundation/ScopeExit.h"

#include <wincrypt.h>

#include <algorithm>

namespace {

HRESULT HashInto(std::string& digest, HCRYPTHASH hash, const std::string& data)
{
    // CryptHashData takes a DWORD length: feed large data in pieces.
    size_t offset = 0;
    while (offset < data.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(data.size() - offset, 0x10000000));
        if (!::CryptHashData(hash, reinterpret_cast<const BYTE*>(data.data() + offset), piece, 0))
            return LastErrorAsHResult();
        offset += piece;
    }
    DWORD size = 0;
    DWORD sizeLength = sizeof(size);
    if (!::CryptGetHashParam(hash, HP_HASHSIZE, reinterpret_cast<BYTE*>(&size), &sizeLength, 0))
        return LastErrorAsHResult();
    std::string value(size, '\0');
    if (!::CryptGetHashParam(hash, HP_HASHVAL, reinterpret_cast<BYTE*>(value.data()), &size, 0))
        return LastErrorAsHResult();
    value.resize(size);
    digest.swap(value);
    return S_OK;
}

} // namespace

HRESULT Md5Bytes(std::string& out, const std::string& data)
{
    return HResultOfCall([&]() -> HRESULT {
        out.clear();
        HCRYPTPROV provider = 0;
        if (!::CryptAcquireContextW(&provider, nullptr, MS_STRONG_PROV_W, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
            return LastErrorAsHResult();
        const auto releaseProvider = ScopeExit([provider] { ::CryptReleaseContext(provider, 0); });
        HCRYPTHASH hash = 0;
        if (!::CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) return LastErrorAsHResult();
        const auto destroyHash = ScopeExit([hash] { ::CryptDestroyHash(hash); });
        return HashInto(out, hash, data);
    });
}
