#include "foundation/CriticalSection.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

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

TEST(CriticalSection, KeepsItsNameOrNone)
{
    CAutoCriticalSection named(L"AppInfo");
    CAutoCriticalSection unnamed;
    CAutoCriticalSection nullName(nullptr);
    EXPECT_EQ(named.GetName(), L"AppInfo");
    EXPECT_TRUE(unnamed.GetName().empty());
    EXPECT_TRUE(nullName.GetName().empty());
}

TEST(CriticalSection, LockHoldsForItsScopeAndIsRecursive)
{
    CAutoCriticalSection section(L"test");
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

TEST(CriticalSection, LockIsReleasedWhenTheScopeThrows)
{
    CAutoCriticalSection section;
    try {
        CAutoLock<CAutoCriticalSection> lock(section);
        throw std::runtime_error("leave");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(FreeForOtherThread(section));
}

TEST(CriticalSection, SerialisesThreads)
{
    CAutoCriticalSection section(L"counter");
    long long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                CAutoLock<CAutoCriticalSection> lock(section);
                // A read-modify-write split in two so that an unguarded interleaving would lose counts.
                const long long seen = counter;
                if ((i & 1023) == 0) std::this_thread::yield();
                counter = seen + 1;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 4 * 20000);
}
