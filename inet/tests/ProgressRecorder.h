#pragma once
// An IBindStatusCallback that records every progress report and may answer E_ABORT.
#include <windows.h>

#include <urlmon.h>

#include <functional>
#include <vector>

struct CProgressReport {
    ULONG progress;
    ULONG max;
    ULONG status;
};

class CProgressRecorder : public IBindStatusCallback {
public:
    std::vector<CProgressReport> m_reports;
    // Asked before each report is answered; true aborts.
    std::function<bool(const CProgressReport&, size_t index)> m_abortWhen;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
            *out = static_cast<IBindStatusCallback*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG progress, ULONG max, ULONG status, LPCWSTR) override
    {
        const CProgressReport report{progress, max, status};
        m_reports.push_back(report);
        return m_abortWhen && m_abortWhen(report, m_reports.size() - 1) ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }
};
