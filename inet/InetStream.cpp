#include "inet/InetStream.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "ids/inet.h"

CInetMemStream::~CInetMemStream()
{
    if (m_target) m_target->resize(m_used);
}

void CInetMemStream::Begin(DWORD contentLength, DWORD blockSize)
{
    m_length = contentLength;
    m_blockSize = blockSize;
    m_used = 0;
}

void CInetMemStream::GetBuffer(void*& data, DWORD& size)
{
    m_target->resize(static_cast<size_t>(m_used) + m_blockSize);
    data = m_target->data() + m_used;
    size = m_blockSize;
}

void CInetMemStream::Commit(const void*, DWORD count) { m_used += count; }

void CInetMemStream::End() { m_target->resize(m_used); }

void CInetMemStream::Abandon()
{
    // The caller's storage moves into a string that is never freed; the bytes received so far
    // go back to the caller in storage of its own.
    auto* held = new std::string(std::move(*m_target));
    m_target->assign(held->data(), std::min<size_t>(m_used, held->size()));
}

void CInetFileStream::Begin(DWORD, DWORD blockSize) { m_buffer.resize(blockSize); }

void CInetFileStream::GetBuffer(void*& data, DWORD& size)
{
    data = m_buffer.data();
    size = static_cast<DWORD>(m_buffer.size());
}

void CInetFileStream::Commit(const void* data, DWORD count)
{
    if (count == 0) return;
    DWORD written = 0;
    if (!::WriteFile(m_file.Get(), data, count, &written, nullptr))
        throw my::CException(IDS_INET_OPEN_WRITE_FILE_FAILED, LastErrorAsHResult());
    if (written != count) throw my::CException(IDS_INET_OPEN_WRITE_FILE_FAILED, HRESULT_FROM_WIN32(ERROR_DISK_FULL));
}

void CInetFileStream::End()
{
    const HANDLE file = m_file.Detach();
    if (file && !::CloseHandle(file)) throw my::CException(IDS_INET_OPEN_WRITE_FILE_FAILED, LastErrorAsHResult());
}

void CInetFileStream::Abandon() { new std::string(std::move(m_buffer)); }
