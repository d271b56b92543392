# One helper per kind of unit: a library, a program, a test.

if(QUILLON_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build: every library instrumented for libFuzzer's coverage and checked by ASan and
# UBSan; only the fuzz_<subject> programs link libFuzzer itself (tests/fuzz/CMakeLists.txt).
if(QUILLON_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUILLON_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

set(QUILLON_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# quillon_add_library(<target> SOURCES ... [PUBLIC_LINKS ...] [PRIVATE_LINKS ...])
# A static library whose headers are included by their path from the source root
# ("settings/batchsetting.h").
function(quillon_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LINKS;PRIVATE_LINKS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${QUILLON_WARNINGS})
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
endfunction()

# quillon_add_program(<target> SOURCES ... [LINKS ...])
function(quillon_add_program target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${QUILLON_WARNINGS})
    target_link_libraries(${target} PRIVATE ${ARG_LINKS})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# quillon_add_test(<name> SOURCES ... [LINKS ...] [TIMEOUT seconds])
# A Qt Test executable registered with CTest. Every test runs with the offscreen platform in
# its own temporary HOME and XDG folders, so nothing of the user's own settings is read or
# touched. QUILLON_TESTDATA and QUILLON_CORPUS name the fixture folders; QUILLON_BINARY_DIR is
# where a failing comparison leaves its actual output; QUILLON_CLI is the command-line program.
function(quillon_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LINKS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
    target_compile_options(${name} PRIVATE ${QUILLON_WARNINGS})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} Qt6::Test)
    target_compile_definitions(${name} PRIVATE
        QUILLON_TESTDATA="${CMAKE_SOURCE_DIR}/tests/data"
        QUILLON_CORPUS="${QUILLON_CORPUS_DIR}"
        QUILLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        QUILLON_BINARY_DIR="${CMAKE_BINARY_DIR}"
        QUILLON_CLI="${CMAKE_BINARY_DIR}/bin/quillon-cli")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    set(home ${CMAKE_BINARY_DIR}/testhome/${name})
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env
        HOME=${home} XDG_CONFIG_HOME=${home}/.config XDG_DATA_HOME=${home}/.local/share
        XDG_CACHE_HOME=${home}/.cache XDG_RUNTIME_DIR=${home}/run QT_QPA_PLATFORM=offscreen
        LC_ALL=C.UTF-8
        $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    file(MAKE_DIRECTORY ${home}/run)
    file(CHMOD ${home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
