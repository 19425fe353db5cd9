#include "foundation/UniqueHandle.h"
#include "foundation/ScopeExit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace {

bool IsOpenHandle(HANDLE h)
{
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

HANDLE NewEvent() { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }

} // namespace

// Each kind's own "none": a kernel owner takes both null and INVALID_HANDLE_VALUE as empty, a find
// owner starts as INVALID_HANDLE_VALUE, which is what FindFirstFile returns on failure.
TEST(UniqueHandle, EachKindKnowsItsEmptyValue)
{
    EXPECT_EQ(CUniqueKernelHandle().Get(), nullptr);
    EXPECT_FALSE(CUniqueKernelHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(CUniqueKernelHandle(nullptr));
    EXPECT_EQ(CUniqueFindHandle().Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CUniqueFindHandle(nullptr));

    CTempFolder temp;
    WIN32_FIND_DATAW data{};
    CUniqueFindHandle missing(::FindFirstFileW((temp / L"none*").c_str(), &data));
    EXPECT_FALSE(missing);
    temp.WriteFile(L"one.txt", "1");
    CUniqueFindHandle found(::FindFirstFileW((temp / L"one*").c_str(), &data));
    EXPECT_TRUE(found);
    found.Reset();
    EXPECT_EQ(found.Get(), INVALID_HANDLE_VALUE) << "back to its own empty value";
}

// Closed once, by whoever holds it last; a detached handle is the caller's.
TEST(UniqueHandle, OwnershipMovesAndTheLastHolderCloses)
{
    HANDLE first = NewEvent(), second = NewEvent();
    ASSERT_TRUE(first && second);
    {
        CUniqueKernelHandle a(first);
        CUniqueKernelHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.Get(), first);
        CUniqueKernelHandle c(second);
        c = std::move(b); // closes second, takes first
        EXPECT_FALSE(IsOpenHandle(second));
        EXPECT_TRUE(IsOpenHandle(first));
        auto& same = c;
        c = std::move(same);
        EXPECT_TRUE(IsOpenHandle(first)) << "moving onto itself keeps the handle";
        EXPECT_EQ(c.Get(), first);
    }
    EXPECT_FALSE(IsOpenHandle(first));

    HANDLE kept = NewEvent();
    {
        CUniqueKernelHandle owner(kept);
        EXPECT_EQ(owner.Detach(), kept);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(IsOpenHandle(kept));
    CUniqueKernelHandle again(kept);
    HANDLE* slot = again.Put();
    EXPECT_FALSE(IsOpenHandle(kept)) << "an out parameter's slot is emptied first";
    *slot = NewEvent();
    EXPECT_TRUE(again);
}

TEST(ScopeExit, RunsOnceOnAnyWayOutUnlessDismissed)
{
    int runs = 0;
    {
        const auto guard = ScopeExit([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    try {
        const auto guard = ScopeExit([&] { ++runs; });
        throw std::runtime_error("leaves the scope");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(runs, 2);
    {
        auto guard = ScopeExit([&] { ++runs; });
        guard.Dismiss();
    }
    EXPECT_EQ(runs, 2);
}
