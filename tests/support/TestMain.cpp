// Entry of every test executable: the module object, OLE, then GoogleTest.
#include <AppModule.h>

#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdio>

int main(int argc, char** argv)
{
    ::OleInitialize(nullptr);
    _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    _Module.Term();
    ::OleUninitialize();
    // The run's last line, which ctest reads in place of the exit code: a program that dies under
    // Wine can still end with exit code 0, and ctest ignores the code once it reads the output.
    std::printf("[ TEST MAIN ] returns %d\n", result);
    std::fflush(stdout);
    return result;
}
