// Entry of every test executable: the module object, OLE, then GoogleTest.
#include <AppModule.h>

#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv)
{
    ::OleInitialize(nullptr);
    _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    _Module.Term();
    ::OleUninitialize();
    return result;
}
