#pragma once
// The error record every failure is described by: message id, HRESULT and the finished text.
#include <windows.h>

#include <exception>
#include <ostream>
#include <string>

namespace boost {
class regex_error;
}

// The longest line of an argument a message shows; longer lines are cut in the middle.
constexpr size_t kMaxMessageLine = 260;

class CSimpleErr {
public:
    explicit CSimpleErr(UINT id = 0);

    void Set(UINT id);
    void Set(UINT id, const std::wstring& a1);
    void Set(UINT id, const std::wstring& a1, const std::wstring& a2);
    void Set(UINT id, const std::wstring* a1, const std::wstring* a2 = nullptr, const std::wstring* a3 = nullptr,
             const std::wstring* a4 = nullptr, const std::wstring* a5 = nullptr, const std::wstring* a6 = nullptr);

    void SetWithCode(UINT id, HRESULT code);
    void SetWithCode(UINT id, HRESULT code, const std::wstring& a1);
    void SetWithCode(UINT id, HRESULT code, const std::wstring& a1, const std::wstring& a2);
    void SetWithCode(UINT id, HRESULT code, const std::wstring* a1, const std::wstring* a2 = nullptr,
                     const std::wstring* a3 = nullptr, const std::wstring* a4 = nullptr,
                     const std::wstring* a5 = nullptr);

    bool SetMessage(UINT id, const std::wstring* a1 = nullptr, const std::wstring* a2 = nullptr,
                    const std::wstring* a3 = nullptr, const std::wstring* a4 = nullptr,
                    const std::wstring* a5 = nullptr, const std::wstring* a6 = nullptr);

    void SetCastError(const std::wstring& from, const std::wstring& to, const std::wstring& value);
    void SetInternalError(const std::wstring& text);
    void SetRegexError(const boost::regex_error& e);

    void GetCodeMessage(std::wstring& out) const;
    void GetOneLineMessage(std::wstring& out) const;
    std::wostream& Dump(std::wostream& os) const;
    bool HasError() const { return m_id != 0; }

    UINT m_id = 0;
    UINT m_code = 0;
    std::wstring m_message;
};

// Gives an object an error record as its error state.
template <class TErr = CSimpleErr> class CHasErr {
public:
    const TErr& GetError() const { return m_err; }
    TErr& GetError() { return m_err; }
    bool HasError() const { return m_err.HasError(); }

protected:
    TErr m_err;
};

// The error record of the exception being handled; call only inside a catch block.
void SetFromCurrentException(CSimpleErr& err);

// Widens a narrow what() text byte by byte, at most 255 characters.
std::wstring WidenWhat(const char* what);
// The what() text of a caught exception, widened; a plain std::exception carries no text of its own
// and reads "Unknown exception" whatever the runtime library says.
std::wstring WidenWhat(const std::exception& e);
