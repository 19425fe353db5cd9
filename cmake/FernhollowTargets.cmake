# One static library per subsystem folder, one test executable per subsystem.
set(FH_SYSTEM_LIBS ole32 oleaut32 uuid comctl32 comdlg32 shell32 shlwapi user32 gdi32 gdiplus
    windowscodecs version setupapi cfgmgr32 mscms wininet crypt32 advapi32 kernel32)

function(fh_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers
        -Wno-cast-function-type)
    target_include_directories(${target} SYSTEM PRIVATE ${boost_view})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform
        ${PROJECT_SOURCE_DIR}/resources)
endfunction()

function(fh_library name)
    cmake_parse_arguments(arg "" "" "DEPENDS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/${name}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "^${PROJECT_SOURCE_DIR}/${name}/(.+/)?(tests|main|bench)/")
    if(NOT sources)
        set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
    endif()
    add_library(fh_${name} STATIC ${sources})
    fh_strict(fh_${name})
    target_include_directories(fh_${name} SYSTEM PUBLIC ${boost_view})
    target_include_directories(fh_${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform
        ${PROJECT_SOURCE_DIR}/resources)
    foreach(dep IN LISTS arg_DEPENDS)
        target_link_libraries(fh_${name} PUBLIC fh_${dep})
    endforeach()
    target_link_libraries(fh_${name} PUBLIC ${FH_SYSTEM_LIBS})
endfunction()

# fh_tests(subsystem [LANGUAGES ja en]): <subsystem>/tests/*.cpp in one executable,
# registered once per user-interface language it must pass under.
function(fh_tests name)
    cmake_parse_arguments(arg "" "" "LANGUAGES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${name}/tests/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name}_tests ${sources} $<TARGET_OBJECTS:fh_test_resources>)
    fh_strict(${name}_tests)
    target_link_libraries(${name}_tests PRIVATE fh_testsupport fh_${name} gtest)
    # GoogleTest and the system headers are most of every test file's compile time.
    target_precompile_headers(${name}_tests PRIVATE <windows.h> <gtest/gtest.h> <string> <vector> <list>)
    # GCC 12 reports std::wstring copies of short literals as out of bounds at -O3 (a known false
    # positive) once the tests are inlined this way.
    target_compile_options(${name}_tests PRIVATE -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
    # Test code needs no heavy optimisation; it is most of what CI compiles.
    target_compile_options(${name}_tests PRIVATE -O1)
    set_target_properties(${name}_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(NOT arg_LANGUAGES)
        set(arg_LANGUAGES ja)
    endif()
    foreach(lang IN LISTS arg_LANGUAGES)
        if(lang STREQUAL "ja")
            set(locale ja_JP.UTF-8)
        else()
            set(locale en_US.UTF-8)
        endif()
        add_test(NAME ${name}_${lang} COMMAND ${name}_tests)
        # A test program that dies (a stack overflow under Wine) can still end with exit code 0: the run
        # passes only when the test entry reached its end with GoogleTest's result 0 (tests/support/
        # TestMain.cpp) and no failure was printed.
        set_tests_properties(${name}_${lang} PROPERTIES ENVIRONMENT "LC_ALL=${locale}" TIMEOUT 300
            PASS_REGULAR_EXPRESSION "\\[ TEST MAIN \\] returns 0[\r\n]"
            FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
    endforeach()
endfunction()
