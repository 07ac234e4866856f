# Common settings of every target of the project: warnings as errors, sanitizers, fuzzing.

set(KVN_WARNINGS -Wall -Wextra -Wpedantic -Werror)
# The same floating-point results on every machine: no multiply and add fused into one rounding
# where one processor has the instruction and another has not, nor where the compiler happens to
# see the two operations together.
set(KVN_FLOATING_POINT -ffp-contract=off)

set(KVN_SANITIZER_FLAGS "")
if(KVN_SANITIZE)
    set(KVN_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                            -fno-omit-frame-pointer)
endif()
if(KVN_FUZZ)
    # Everything is instrumented for coverage; the fuzz executables add the libFuzzer driver.
    list(APPEND KVN_SANITIZER_FLAGS -fsanitize=fuzzer-no-link)
endif()

# kvn_target_defaults(<target>): warnings, standard and sanitizer flags for one of our targets.
function(kvn_target_defaults target)
    target_compile_options(${target} PRIVATE ${KVN_WARNINGS} ${KVN_FLOATING_POINT}
                                             ${KVN_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${KVN_SANITIZER_FLAGS})
    target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# kvn_library(<name> SOURCES ... [QT] [DEPENDS ...]): one static library per source folder.
function(kvn_library name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    kvn_target_defaults(${name})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    if(ARG_DEPENDS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    endif()
    if(ARG_QT)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
endfunction()

# kvn_test(<name> SOURCES ... DEPENDS ... [QT] [GUI]): one GoogleTest executable registered with
# CTest test by test. GUI tests run on the offscreen platform so that no display is needed.
function(kvn_test name)
    cmake_parse_arguments(ARG "QT;GUI" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    kvn_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE KVN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    # Helpers shared by the tests of several layers.
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
    if(ARG_QT OR ARG_GUI)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
    set(env "")
    if(ARG_GUI)
        set(env "QT_QPA_PLATFORM=offscreen")
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "${env}"
                         DISCOVERY_TIMEOUT 30)
endfunction()

include(GoogleTest)
