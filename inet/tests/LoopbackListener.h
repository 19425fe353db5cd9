#pragma once
// A listener of its own on 127.0.0.1 that records the first bytes of the first connection it
// accepts: it tells which port a request really went to, whatever the request reports.
#include <windows.h>

#include <string>
#include <thread>

class CLoopbackListener {
public:
    // Port 0 takes a free port; Port() is 0 when the port cannot be bound here.
    explicit CLoopbackListener(u_short port, DWORD waitMs)
    {
        WSADATA data{};
        m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        m_socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        address.sin_port = ::htons(port);
        int length = sizeof(address);
        if (m_socket == INVALID_SOCKET || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_socket, 1) != 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length))
            return;
        m_port = ::ntohs(address.sin_port);
        m_thread = std::thread([this, waitMs] { AcceptOne(waitMs); });
    }
    ~CLoopbackListener()
    {
        if (m_thread.joinable()) m_thread.join();
        if (m_socket != INVALID_SOCKET) ::closesocket(m_socket);
        if (m_started) ::WSACleanup();
    }
    CLoopbackListener(const CLoopbackListener&) = delete;
    CLoopbackListener& operator=(const CLoopbackListener&) = delete;

    u_short Port() const { return m_port; }
    // What the first connection sent, once the wait has ended.
    std::string Received()
    {
        if (m_thread.joinable()) m_thread.join();
        return m_received;
    }

private:
    void AcceptOne(DWORD waitMs)
    {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(m_socket, &ready);
        timeval wait{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000) * 1000};
        if (::select(0, &ready, nullptr, nullptr, &wait) != 1) return;
        const SOCKET peer = ::accept(m_socket, nullptr, nullptr);
        if (peer == INVALID_SOCKET) return;
        FD_ZERO(&ready);
        FD_SET(peer, &ready);
        char bytes[16] = {};
        if (::select(0, &ready, nullptr, nullptr, &wait) == 1) {
            const int n = ::recv(peer, bytes, sizeof(bytes), 0);
            if (n > 0) m_received.assign(bytes, static_cast<size_t>(n));
        }
        ::closesocket(peer);
    }

    bool m_started = false;
    SOCKET m_socket = INVALID_SOCKET;
    u_short m_port = 0;
    std::string m_received;
    std::thread m_thread;
};
