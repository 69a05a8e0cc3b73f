# Warnings are errors in every target of ours (not in third-party code).
function(tessel_warnings target)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX,C>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror>)
endfunction()

# A library target of ours: C++20, warnings as errors.
function(tessel_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_compile_features(${name} PUBLIC cxx_std_20)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    tessel_warnings(${name})
endfunction()

# A GoogleTest executable registered with CTest. Natively every test case becomes a CTest
# test; under an emulator (Wine) the executable runs as one CTest test, which keeps the
# number of Wine start-ups small. Suites named in TESSEL_THREADED_TESTS get the label "threads".
function(tessel_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
    tessel_warnings(${name})
    if(TESSEL_FUZZ)
        # The fuzz build runs only the fuzz targets; its test libraries serve them.
        set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
    elseif(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
    else()
        set(labels "")
        if(name IN_LIST TESSEL_THREADED_TESTS)
            set(labels threads)
        endif()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                             PROPERTIES LABELS "${labels}")
    endif()
endfunction()
