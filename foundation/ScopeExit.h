#pragma once
// One scope guard for paired calls that are not handles (BeginPaint/EndPaint, lock/unlock).
#include <utility>

template <class F> class CScopeExit {
public:
    explicit CScopeExit(F f) noexcept : m_f(std::move(f)) {}
    CScopeExit(const CScopeExit&) = delete;
    CScopeExit& operator=(const CScopeExit&) = delete;
    ~CScopeExit()
    {
        if (m_armed) m_f();
    }

    // The paired call is no longer needed (ownership passed on).
    void Dismiss() noexcept { m_armed = false; }

private:
    F m_f;
    bool m_armed = true;
};

template <class F> [[nodiscard]] CScopeExit<F> ScopeExit(F f) noexcept { return CScopeExit<F>(std::move(f)); }
