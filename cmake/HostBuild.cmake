# Host build: 32-bit like the Windows program (pointers, long and every record
# keep their Windows sizes), with AddressSanitizer and UndefinedBehaviorSanitizer.
# Where 32-bit code runs only under emulation (scripts/deps.sh), AddressSanitizer
# cannot set up its shadow memory and is left out: ZEVARIDA_ASAN=OFF.
option(ZEVARIDA_ASAN "Build the host tests with AddressSanitizer" ON)
if(ZEVARIDA_ASAN)
    set(HOST_SANITIZERS -fsanitize=address,undefined)
else()
    set(HOST_SANITIZERS -fsanitize=undefined)
endif()
set(HOST_FLAGS -m32 ${HOST_SANITIZERS} -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_compile_options(${HOST_FLAGS} -g -O1 -Wall -Wextra)
add_link_options(${HOST_FLAGS})

enable_testing()

# GoogleTest from Debian's source package, built 32-bit with the same flags.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

add_subdirectory(tests/simdesk)
add_subdirectory(tests/fakes)

# The program itself, linked against the simulated desktop.
add_library(zevarida_core STATIC ${PROGRAM_SOURCES})
target_include_directories(zevarida_core PUBLIC ${PROGRAM_INCLUDE_DIRS})
target_link_libraries(zevarida_core PUBLIC simdesk)

add_subdirectory(tests/host)
add_subdirectory(tests/wlan)
add_subdirectory(tests/tavrocfg)
add_subdirectory(tests/tavroapi)
add_subdirectory(tests/bench)

set(DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Where the Windows binaries are")
set(WIN_BUILD_DIR ${CMAKE_SOURCE_DIR}/build/win CACHE PATH "The Windows build tree")
add_subdirectory(tests/shipped)

# The C++ sources as .clang-format has them (scripts/format.sh formats them).
add_test(NAME source_format COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/format.sh --check)
set_tests_properties(source_format PROPERTIES LABELS style)
option(ZEVARIDA_E2E "Run the end-to-end tests under Wine" ON)
if(ZEVARIDA_E2E)
    add_subdirectory(tests/e2e)
endif()
