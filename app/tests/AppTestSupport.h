#pragma once
// Shared by the application's tests: a message sink that records, and small helpers.
#include "app/MruStrings.h"
#include "ui/Msg.h"

#include <string>
#include <vector>

// Records every error and text it is asked to show and answers with `m_answer`.
class CRecordingMsg : public CMsg {
public:
    explicit CRecordingMsg(int answer = IDCANCEL) : m_answer(answer) {}
    void ShowError(const CSimpleErr& err) override
    {
        m_errors.push_back(err.m_id);
        CMsg::ShowError(err);
    }
    int Show(const std::wstring& text, UINT type) override
    {
        m_texts.push_back(text);
        m_types.push_back(type);
        m_focusAtShow.push_back(::GetFocus());
        return m_answer;
    }
    int m_answer;
    std::vector<UINT> m_errors;
    std::vector<std::wstring> m_texts;
    std::vector<UINT> m_types;
    std::vector<HWND> m_focusAtShow;
};

inline std::vector<std::wstring> Texts(const CMruStrings& history)
{
    std::vector<std::wstring> texts;
    for (const auto& item : history.m_items) texts.push_back(item->m_text);
    return texts;
}

inline void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
