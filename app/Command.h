#pragma once
// A user action or automatic run: the work in ExecuteImpl, run under a guard that reports failures.
#include "foundation/Exception.h"

class CMsg;

class CCommand {
public:
    virtual ~CCommand() = default;

    virtual void Execute(bool doIt, bool rethrow);
    virtual void ExecuteQuiet();
    virtual bool CanExecute();
    virtual void ExecuteImpl(bool doIt);

    // Calls (object->*member)(argument) and stores what it throws in `err` (cleared first).
    template <class T, class Arg>
    static void RunGuarded(my::CCtrlException& err, void (T::*member)(Arg), T* object, Arg argument);
    // The same guard around any callable.
    template <class Work> static void RunGuardedCall(my::CCtrlException& err, Work&& work);

    CMsg* m_msg = nullptr;
};

void SetFromCurrentException(my::CCtrlException& err);

template <class Work> void CCommand::RunGuardedCall(my::CCtrlException& err, Work&& work)
{
    err.Set(0);
    err.m_hWnd = nullptr;
    try {
        work();
    } catch (...) {
        SetFromCurrentException(err);
    }
}

template <class T, class Arg>
void CCommand::RunGuarded(my::CCtrlException& err, void (T::*member)(Arg), T* object, Arg argument)
{
    RunGuardedCall(err, [&] { (object->*member)(argument); });
}
