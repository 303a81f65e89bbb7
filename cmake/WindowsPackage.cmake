# The package for Windows users, dist/ZEVARIDA-win32.zip: the program with the
# real-adapter TavroApi.DLL (dist/wlan/), the stand-in configuration applet
# and context-help library, and README.TXT with Windows line ends.
set(PACKAGE_ZIP ${DIST_DIR}/ZEVARIDA-win32.zip)
set(PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
set(PACKAGE_README ${CMAKE_BINARY_DIR}/package-readme/README.TXT)
configure_file(${CMAKE_SOURCE_DIR}/tavrowlan/package/README.TXT ${PACKAGE_README} @ONLY NEWLINE_STYLE CRLF)

add_custom_command(
    OUTPUT ${PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PACKAGE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:ZEVARIDA> $<TARGET_FILE:TavroWlan> $<TARGET_FILE:TavroCfg>
            $<TARGET_FILE:TavroCsh> ${PACKAGE_README} ${PACKAGE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${PACKAGE_STAGE}
            ${CMAKE_COMMAND} -E tar cf ${PACKAGE_ZIP} --format=zip
            ZEVARIDA.EXE TavroApi.DLL TAVROCFG.CPL TAVROCSH.DLL README.TXT
    DEPENDS ZEVARIDA TavroWlan TavroCfg TavroCsh ${PACKAGE_README}
    COMMENT "Packing ${PACKAGE_ZIP}"
    VERBATIM)
add_custom_target(package_zip ALL DEPENDS ${PACKAGE_ZIP})

# The setup program, dist/ZEVARIDA-setup.exe: the same files, installed by
# installer/ZEVARIDA.nsi (NSIS, scripts/deps.sh installs it) with the build's
# version, product and company (cmake/Lean.cmake). makensis signs the
# uninstaller and then the setup program with the build's certificate.
find_program(MAKENSIS makensis REQUIRED)
set(SETUP_EXE ${DIST_DIR}/ZEVARIDA-setup.exe)
add_custom_command(
    OUTPUT ${SETUP_EXE}
    COMMAND ${MAKENSIS} -V2 -NOCD
            -DVERSION=${PROJECT_VERSION} -DVERSION_MAJOR=${PROJECT_VERSION_MAJOR}
            -DVERSION_MINOR=${PROJECT_VERSION_MINOR} -DPRODUCT=${ZEVARIDA_PRODUCT} -DCOMPANY=${ZEVARIDA_COMPANY}
            "-DSIGN=\"${SIGN_SCRIPT}\" sign \"${SIGNING_CERT}\" \"${SIGNING_KEY}\""
            -DOUTFILE=${SETUP_EXE} -DICON=${CMAKE_SOURCE_DIR}/res/icons/app.ico
            -DPROGRAM=$<TARGET_FILE:ZEVARIDA> -DLIBRARY=$<TARGET_FILE:TavroWlan>
            -DAPPLET=$<TARGET_FILE:TavroCfg> -DHELP=$<TARGET_FILE:TavroCsh> -DREADME=${PACKAGE_README}
            ${CMAKE_SOURCE_DIR}/installer/ZEVARIDA.nsi
    DEPENDS ZEVARIDA TavroWlan TavroCfg TavroCsh ${PACKAGE_README} ${CMAKE_SOURCE_DIR}/installer/ZEVARIDA.nsi
            ${SIGN_SCRIPT}
    COMMENT "Building ${SETUP_EXE}"
    VERBATIM)
add_custom_target(package_setup ALL DEPENDS ${SETUP_EXE})
