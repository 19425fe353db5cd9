#pragma once
// Sinks for a response body: the read loop asks for a buffer, reads into it and commits.
#include "foundation/UniqueHandle.h"

#include <windows.h>

#include <string>

class CInetStream {
public:
    static constexpr DWORD kUnknownLength = 0xFFFFFFFF;

    virtual ~CInetStream() = default;
    virtual void Begin(DWORD contentLength, DWORD blockSize) = 0;
    virtual void GetBuffer(void*& data, DWORD& size) = 0;
    virtual void Commit(const void* data, DWORD count) = 0;
    virtual void End() = 0;
    // A read that was given up may still write into the last buffer handed out: the sink lets
    // go of that memory without freeing it.
    virtual void Abandon() = 0;
};

// Into a byte string owned by the caller, read in place.
class CInetMemStream : public CInetStream {
public:
    explicit CInetMemStream(std::string& target) : m_target(&target) {}
    ~CInetMemStream() override;

    void Begin(DWORD contentLength, DWORD blockSize) override;
    void GetBuffer(void*& data, DWORD& size) override;
    void Commit(const void* data, DWORD count) override;
    void End() override;
    void Abandon() override;

private:
    DWORD m_used = 0;
    std::string* m_target;
    DWORD m_length = 0;
    DWORD m_blockSize = 0;
};

// Into an open file; every write and the close are checked (59365).
class CInetFileStream : public CInetStream {
public:
    explicit CInetFileStream(CUniqueKernelHandle file) : m_file(std::move(file)) {}

    void Begin(DWORD contentLength, DWORD blockSize) override;
    void GetBuffer(void*& data, DWORD& size) override;
    void Commit(const void* data, DWORD count) override;
    void End() override;
    void Abandon() override;

private:
    CUniqueKernelHandle m_file;
    std::string m_buffer;
};
