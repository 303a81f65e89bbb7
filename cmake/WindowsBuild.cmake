enable_language(RC)

set(DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Where the Windows binaries are gathered")
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${DIST_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${DIST_DIR})

# Static C and C++ runtime: the binaries need only Windows system DLLs.
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
add_compile_options(-Wall -Wextra -O2)
# What ships is for Windows 95/98/Me and NT 4 and later: the headers declare
# nothing newer (the probe of the end-to-end tests resets this).
add_compile_definitions(_WIN32_WINNT=0x0400 WINVER=0x0400)

add_subdirectory(tavroapi)
add_subdirectory(tavrowlan)
add_subdirectory(tavrocfg)
add_subdirectory(tavrocsh)

add_executable(ZEVARIDA WIN32 ${PROGRAM_SOURCES} app/main.cpp app/LeanRuntime.cpp res/ZEVARIDA.rc)
set_target_properties(ZEVARIDA PROPERTIES OUTPUT_NAME ZEVARIDA SUFFIX ".EXE")
target_include_directories(ZEVARIDA PRIVATE ${PROGRAM_INCLUDE_DIRS})
target_link_libraries(ZEVARIDA PRIVATE TavroApi user32 shell32 advapi32 ${STATIC_RUNTIME})
# A small executable: nothing in the program throws or asks for a type at run
# time, so the runtime's exception machinery stays out (app/LeanRuntime.cpp);
# unused functions are collected and the symbols stripped. -Os costs about a
# tenth of a poll tick that takes two microseconds once a second.
target_compile_options(ZEVARIDA PRIVATE -Os -ffunction-sections -fdata-sections
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables)
target_link_options(ZEVARIDA PRIVATE -s -Wl,--gc-sections -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/ZEVARIDA.map)

include(cmake/WindowsPackage.cmake)

add_subdirectory(tests/e2e)
