#pragma once
// The TLS listener's root (scripts/http-test-server.sh makes it in the build folder, passed as
// base64 DER in FH_HTTPS_TEST_ROOT), put into the local machine's "Root" store through CryptoAPI.
// Wine 8's WinINet builds the server's chain with the default engine, whose roots it takes from
// the local machine's store: a root added to the current user's store is not found (12057, the
// code Wine gives a chain without its root). Nothing is deleted: Wine 8 then writes none of the
// store's changes back, so one root is kept for as long as it is valid. Windows wants an
// administrator for this store.
#include <windows.h>

#include <wincrypt.h>

#include <string>
#include <vector>

// False, with the reason, when the root cannot be read or stored.
inline bool TrustTestRoot(const std::string& base64, std::string& why)
{
    DWORD size = 0;
    if (!::CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()), CRYPT_STRING_BASE64, nullptr, &size,
                                nullptr, nullptr)) {
        why = "the test root is not base64";
        return false;
    }
    std::vector<BYTE> der(size);
    ::CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()), CRYPT_STRING_BASE64, der.data(), &size,
                           nullptr, nullptr);
    const HCERTSTORE store = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!store) {
        why = "the local machine's Root store does not open: " + std::to_string(::GetLastError());
        return false;
    }
    // Another test process of this run may be adding the same root: both end with one.
    const bool stored = ::CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                                           static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING,
                                                           nullptr) != FALSE;
    if (!stored) why = "the test root was not stored: " + std::to_string(::GetLastError());
    ::CertCloseStore(store, 0);
    return stored;
}
