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

include(cmake/Lean.cmake)

add_subdirectory(tavroapi)
add_subdirectory(tavrowlan)
add_subdirectory(tavrocfg)
add_subdirectory(tavrocsh)

add_executable(ZEVARIDA WIN32 ${PROGRAM_SOURCES} app/main.cpp res/ZEVARIDA.rc)
set_target_properties(ZEVARIDA PROPERTIES OUTPUT_NAME ZEVARIDA SUFFIX ".EXE")
target_include_directories(ZEVARIDA PRIVATE ${PROGRAM_INCLUDE_DIRS})
target_link_libraries(ZEVARIDA PRIVATE TavroApi user32 shell32 advapi32 comctl32 ${STATIC_RUNTIME})
target_link_options(ZEVARIDA PRIVATE -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/ZEVARIDA.map)

# Every binary that ships is small and carries the build's version
# (cmake/Lean.cmake): nothing in them throws or asks for a type at run time, so
# the runtime's exception machinery stays out (common/LeanRuntime.cpp); unused
# functions are collected and the symbols stripped. -Os costs the program about
# a tenth of a poll tick that takes two microseconds once a second.
zevarida_shipped_binary(ZEVARIDA ZEVARIDA.EXE "Wireless LAN status tray applet")
zevarida_shipped_binary(TavroApi TavroApi.DLL "Driver-interface library (adapter simulator)")
zevarida_shipped_binary(TavroWlan TavroApi.DLL "Driver-interface library for real adapters")
zevarida_shipped_binary(TavroCfg TAVROCFG.CPL "Wireless LAN configuration applet")
zevarida_shipped_binary(TavroCsh TAVROCSH.DLL "Context-help library")
zevarida_shipped_binary(tavroctl tavroctl.exe "Driver-interface library console tool")

include(cmake/WindowsPackage.cmake)

add_subdirectory(tests/e2e)
