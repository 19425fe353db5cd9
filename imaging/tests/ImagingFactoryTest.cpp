#include "imaging/ImagingFactory.h"

#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using ImagingFactory = ImagingTest;

// Run at exit on a thread whose COM has ended, the release leaves the factory alone.
TEST_F(ImagingFactory, FactoryIsReleasedAtExitOnlyWhileComRuns)
{
    IWICImagingFactory* const factory = g_wicFactory;
    ASSERT_NE(factory, nullptr);
    const ULONG held = factory->AddRef();
    std::thread([] { ReleaseImagingFactoryAtExit(); }).join();
    EXPECT_EQ(g_wicFactory, nullptr);
    EXPECT_EQ(factory->AddRef(), held + 1) << "not released without COM";
    factory->Release();

    g_wicFactory = factory;
    ReleaseImagingFactoryAtExit();
    EXPECT_EQ(g_wicFactory, nullptr);
    EXPECT_EQ(factory->AddRef(), held) << "released while COM runs";
    factory->Release();
    g_wicFactory = factory;
}
