#pragma once
// The connection to one server (InternetConnectW).
#include "inet/InternetHandle.h"

class CInternetConnection : public CInternetHandle {
public:
    CInternetConnection() = default;
    ~CInternetConnection() override;

    HRESULT Connect(CInternetSession& session, const wchar_t* serverName, INTERNET_PORT port);
    bool Close() override;
    CInternetSession* GetSession() const override { return m_session; }

private:
    CInternetSession* m_session = nullptr;
};

class CHttpConnection : public CInternetConnection {};
