#include "foundation/SimpleErr.h"

#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "foundation/TextHelpers.h"
#include "ids/foundation.h"
#include <AtlException.h>

#include <boost/regex.hpp>

#include <typeinfo>

CSimpleErr::CSimpleErr(UINT id) { Set(id); }

void CSimpleErr::Set(UINT id) { Set(id, static_cast<const std::wstring*>(nullptr)); }
void CSimpleErr::Set(UINT id, const std::wstring& a1) { Set(id, &a1); }
void CSimpleErr::Set(UINT id, const std::wstring& a1, const std::wstring& a2) { Set(id, &a1, &a2); }

void CSimpleErr::Set(UINT id, const std::wstring* a1, const std::wstring* a2, const std::wstring* a3,
                     const std::wstring* a4, const std::wstring* a5, const std::wstring* a6)
{
    m_id = id;
    m_code = 0;
    if (id == 0) {
        m_message.clear();
        return;
    }
    SetMessage(id, a1, a2, a3, a4, a5, a6);
}

void CSimpleErr::SetWithCode(UINT id, HRESULT code) { SetWithCode(id, code, nullptr); }
void CSimpleErr::SetWithCode(UINT id, HRESULT code, const std::wstring& a1) { SetWithCode(id, code, &a1); }
void CSimpleErr::SetWithCode(UINT id, HRESULT code, const std::wstring& a1, const std::wstring& a2)
{
    SetWithCode(id, code, &a1, &a2);
}

void CSimpleErr::SetWithCode(UINT id, HRESULT code, const std::wstring* a1, const std::wstring* a2,
                             const std::wstring* a3, const std::wstring* a4, const std::wstring* a5)
{
    m_id = id;
    m_code = static_cast<UINT>(code);
    std::wstring codeText;
    GetCodeMessage(codeText);
    SetMessage(id, &codeText, a1, a2, a3, a4, a5);
}

bool CSimpleErr::SetMessage(UINT id, const std::wstring* a1, const std::wstring* a2, const std::wstring* a3,
                            const std::wstring* a4, const std::wstring* a5, const std::wstring* a6)
{
    const std::wstring* args[] = {a1, a2, a3, a4, a5, a6};
    int count = 6;
    while (count > 0 && !args[count - 1]) --count;
    // A message box grows with its longest line: a path of megabytes made it wider than the screen.
    std::wstring shortened[6];
    const wchar_t* p[6] = {};
    for (int i = 0; i < count; ++i) {
        if (!args[i]) ThrowInternalCheckError(L"CSimpleErr::SetMessage", L"argument missing before the last one");
        shortened[i] = ShortenLongLines(*args[i], kMaxMessageLine);
        p[i] = shortened[i].c_str();
    }
    std::wstring text;
    switch (count) {
    case 0: FormatResString(text, id); break;
    case 1: FormatResString(text, id, p[0]); break;
    case 2: FormatResString(text, id, p[0], p[1]); break;
    case 3: FormatResString(text, id, p[0], p[1], p[2]); break;
    case 4: FormatResString(text, id, p[0], p[1], p[2], p[3]); break;
    case 5: FormatResString(text, id, p[0], p[1], p[2], p[3], p[4]); break;
    default: FormatResString(text, id, p[0], p[1], p[2], p[3], p[4], p[5]); break;
    }
    m_message.swap(text);
    return true;
}

void CSimpleErr::SetCastError(const std::wstring& from, const std::wstring& to, const std::wstring& value)
{
    Set(IDS_CAST_ERROR, &from, &to, &value);
}

void CSimpleErr::SetInternalError(const std::wstring& text) { Set(IDS_INTERNAL_ERROR, text); }

void CSimpleErr::SetRegexError(const boost::regex_error& e)
{
    UINT id = 0;
    switch (e.code()) {
    case boost::regex_constants::error_bad_pattern: id = IDS_REGEX_BAD_PATTERN; break;
    case boost::regex_constants::error_collate: id = IDS_REGEX_COLLATE; break;
    case boost::regex_constants::error_ctype: id = IDS_REGEX_CTYPE; break;
    case boost::regex_constants::error_escape: id = IDS_REGEX_ESCAPE; break;
    case boost::regex_constants::error_backref: id = IDS_REGEX_BACKREF; break;
    case boost::regex_constants::error_brack: id = IDS_REGEX_BRACK; break;
    case boost::regex_constants::error_paren: id = IDS_REGEX_PAREN; break;
    case boost::regex_constants::error_brace: id = IDS_REGEX_BRACE; break;
    case boost::regex_constants::error_badbrace: id = IDS_REGEX_BADBRACE; break;
    case boost::regex_constants::error_range: id = IDS_REGEX_RANGE; break;
    case boost::regex_constants::error_space: id = IDS_REGEX_SPACE; break;
    case boost::regex_constants::error_badrepeat: id = IDS_REGEX_BADREPEAT; break;
    case boost::regex_constants::error_complexity: id = IDS_REGEX_COMPLEXITY; break;
    case boost::regex_constants::error_stack: id = IDS_REGEX_STACK; break;
    default: break;
    }
    if (id)
        Set(id);
    else
        Set(IDS_REGEX_ERROR, WidenWhat(e.what()));
}

void CSimpleErr::GetCodeMessage(std::wstring& out) const
{
    FormatHResultMessage(out, static_cast<HRESULT>(m_code));
    TrimBy(out, IsSpaceOrCr);
}

void CSimpleErr::GetOneLineMessage(std::wstring& out) const
{
    static const boost::wregex lineFeeds(L"\\n+");
    out = boost::regex_replace(m_message, lineFeeds, L" ");
}

std::wostream& CSimpleErr::Dump(std::wostream& os) const
{
    const auto flags = os.flags();
    os << L"No: " << std::dec << m_id << L" HR: " << std::hex << m_code << L" MSG: " << m_message;
    os.flags(flags);
    return os;
}

std::wstring WidenWhat(const char* what)
{
    std::wstring text;
    for (const char* p = what; p && *p && text.size() < 255; ++p)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return text;
}

std::wstring WidenWhat(const std::exception& e)
{
    // libstdc++ gives a plain std::exception the text "std::exception".
    const char* what = typeid(e) == typeid(std::exception) ? nullptr : e.what();
    return WidenWhat(what ? what : "Unknown exception");
}

void SetFromCurrentException(CSimpleErr& err)
{
    try {
        throw;
    } catch (const my::CException& e) {
        err = static_cast<const CSimpleErr&>(e);
    } catch (const boost::regex_error& e) {
        err.SetRegexError(e);
    } catch (const std::exception& e) {
        err.Set(IDS_STD_EXCEPTION, WidenWhat(e));
    } catch (const ATL::CAtlException& e) {
        err.SetWithCode(IDS_ATL_EXCEPTION, e.m_hr);
    } catch (...) {
        err.Set(IDS_UNKNOWN_EXCEPTION);
    }
}
