#include "inet/InetStream.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "ids/inet.h"

void CReadBlock::Resize(DWORD size)
{
    if (m_data && m_size == size) return;
    m_data = std::make_unique<char[]>(size);
    m_size = size;
}

void CReadBlock::Abandon()
{
    // Never freed: a late completion may still write here.
    static_cast<void>(m_data.release());
    m_size = 0;
}

void CInetMemStream::Begin(DWORD, DWORD blockSize)
{
    m_target->clear();
    m_block.Resize(blockSize);
}

void CInetMemStream::GetBuffer(void*& data, DWORD& size)
{
    data = m_block.Data();
    size = m_block.Size();
}

void CInetMemStream::Commit(const void* data, DWORD count) { m_target->append(static_cast<const char*>(data), count); }

void CInetFileStream::Begin(DWORD, DWORD blockSize) { m_block.Resize(blockSize); }

void CInetFileStream::GetBuffer(void*& data, DWORD& size)
{
    data = m_block.Data();
    size = m_block.Size();
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
