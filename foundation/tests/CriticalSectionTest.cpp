#include "foundation/CriticalSection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

// True when another thread can take the section right now.
bool FreeForAnotherThread(CAutoCriticalSection& section)
{
    bool taken = false;
    std::thread other([&] {
        taken = ::TryEnterCriticalSection(&section.m_sec) != FALSE;
        if (taken) ::LeaveCriticalSection(&section.m_sec);
    });
    other.join();
    return taken;
}

} // namespace

TEST(CriticalSection, CarriesItsNameAndIsRecursiveForItsThread)
{
    CAutoCriticalSection named(L"AppInfo");
    CAutoCriticalSection unnamed;
    EXPECT_EQ(named.GetName(), L"AppInfo");
    EXPECT_EQ(unnamed.GetName(), L"");
    {
        CAutoLock<CAutoCriticalSection> outer(named);
        CAutoLock<CAutoCriticalSection> inner(named); // the owning thread enters again
        EXPECT_FALSE(FreeForAnotherThread(named));
    }
    EXPECT_TRUE(FreeForAnotherThread(named)) << "left as often as entered";
}

TEST(CriticalSection, AnExceptionLeavingTheScopeReleasesTheLock)
{
    CAutoCriticalSection section;
    try {
        CAutoLock<CAutoCriticalSection> lock(section);
        ASSERT_FALSE(FreeForAnotherThread(section));
        throw std::runtime_error("leaves the scope");
    } catch (const std::runtime_error&) {}
    EXPECT_TRUE(FreeForAnotherThread(section));
}

// Two threads add to one counter without atomics, each add under the lock; a lost update or two
// threads inside at once would show.
TEST(CriticalSection, ContendingThreadsTakeTurns)
{
    CAutoCriticalSection section(L"counter");
    long counter = 0;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    const int rounds = 20000;
    auto work = [&] {
        for (int i = 0; i < rounds; ++i) {
            CAutoLock<CAutoCriticalSection> lock(section);
            if (inside.fetch_add(1) != 0) overlapped = true;
            const long seen = counter;
            if (i % 1000 == 0) ::Sleep(0); // give the other thread a chance to run into the lock
            counter = seen + 1;
            inside.fetch_sub(1);
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(counter, 2L * rounds);
}

// A second thread that runs into a held section waits there, and goes on once the holder's scope ends.
TEST(CriticalSection, AWaitingThreadEntersOnceTheHolderLeaves)
{
    CAutoCriticalSection section;
    std::atomic<bool> entered{false};
    std::thread waiter;
    {
        CAutoLock<CAutoCriticalSection> lock(section);
        waiter = std::thread([&] {
            CAutoLock<CAutoCriticalSection> inner(section);
            entered = true;
        });
        ::Sleep(100);
        EXPECT_FALSE(entered) << "entered while the section was held";
    }
    waiter.join();
    EXPECT_TRUE(entered);
}
