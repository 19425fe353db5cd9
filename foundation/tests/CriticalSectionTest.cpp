#include "foundation/CriticalSection.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Whether another thread can take the section right now.
bool FreeForOtherThread(CAutoCriticalSection& section)
{
    bool taken = false;
    std::thread other([&] {
        if (::TryEnterCriticalSection(&section.m_sec)) {
            taken = true;
            ::LeaveCriticalSection(&section.m_sec);
        }
    });
    other.join();
    return taken;
}

} // namespace

TEST(CriticalSection, LockHoldsForItsScopeAndIsRecursive)
{
    CAutoCriticalSection section(L"test");
    EXPECT_EQ(section.GetName(), L"test");
    EXPECT_TRUE(FreeForOtherThread(section));
    {
        CAutoLock<CAutoCriticalSection> outer(section);
        EXPECT_FALSE(FreeForOtherThread(section));
        {
            CAutoLock<CAutoCriticalSection> inner(section);
            EXPECT_FALSE(FreeForOtherThread(section));
        }
        EXPECT_FALSE(FreeForOtherThread(section));
    }
    EXPECT_TRUE(FreeForOtherThread(section));
}
