#pragma once
// A named critical section that lives as long as its owner, and the scoped lock over it.
#include <ComCriticalSection.h>

#include <string>

class CAutoCriticalSection : public ATL::CComCriticalSection {
public:
    explicit CAutoCriticalSection(const wchar_t* name = nullptr);
    ~CAutoCriticalSection();
    CAutoCriticalSection(const CAutoCriticalSection&) = delete;
    CAutoCriticalSection& operator=(const CAutoCriticalSection&) = delete;

    const std::wstring& GetName() const { return m_name; }

private:
    // The section is initialised and deleted by the object's lifetime; a second Init or Term
    // from outside would leak or delete it twice.
    using ATL::CComCriticalSection::Init;
    using ATL::CComCriticalSection::Term;

    std::wstring m_name;
};

// Holds the section from construction to the end of the scope, also when it is left by an exception.
template <class TSection> class CAutoLock {
public:
    explicit CAutoLock(TSection& section) : m_section(&section) { ::EnterCriticalSection(&m_section->m_sec); }
    virtual ~CAutoLock() { ::LeaveCriticalSection(&m_section->m_sec); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    TSection* m_section;
};
