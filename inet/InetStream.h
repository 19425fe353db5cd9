#pragma once
// Sinks for a response body: the read loop asks for a buffer, reads into it and commits.
#include "foundation/UniqueHandle.h"

#include <windows.h>

#include <memory>
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

// The buffer a sink hands out: a heap block of its own, never part of an object or a string
// (a short string keeps its bytes inside the object), so that giving it up keeps the address
// WinINet holds valid whatever the block size.
class CReadBlock {
public:
    void Resize(DWORD size);
    void* Data() const { return m_data.get(); }
    DWORD Size() const { return m_size; }
    void Abandon();

private:
    std::unique_ptr<char[]> m_data;
    DWORD m_size = 0;
};

// Into a byte string owned by the caller, appended block by block.
class CInetMemStream : public CInetStream {
public:
    explicit CInetMemStream(std::string& target) : m_target(&target) {}

    void Begin(DWORD contentLength, DWORD blockSize) override;
    void GetBuffer(void*& data, DWORD& size) override;
    void Commit(const void* data, DWORD count) override;
    void End() override {}
    void Abandon() override { m_block.Abandon(); }

private:
    std::string* m_target;
    CReadBlock m_block;
};

// Into an open file; every write and the close are checked (59365).
class CInetFileStream : public CInetStream {
public:
    explicit CInetFileStream(CUniqueKernelHandle file) : m_file(std::move(file)) {}

    void Begin(DWORD contentLength, DWORD blockSize) override;
    void GetBuffer(void*& data, DWORD& size) override;
    void Commit(const void* data, DWORD count) override;
    void End() override;
    void Abandon() override { m_block.Abandon(); }

private:
    CUniqueKernelHandle m_file;
    CReadBlock m_block;
};
