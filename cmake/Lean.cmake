# How every shipped binary is built: small, and with the build's version.
#
# zevarida_shipped_binary(TARGET FILE_NAME DESCRIPTION) builds TARGET the way
# ZEVARIDA.EXE always was: no exception machinery and no run-time type
# information (nothing we ship throws, catches or asks for a type), the C++
# runtime's failure paths replaced by common/LeanRuntime.cpp, every function
# and datum in its own section so that the linker collects what nothing uses,
# -Os, and the symbols stripped. It is hardened in ways that cost nothing on
# the oldest Windows it is for: the stack protector (common/StackGuard.cpp),
# ASLR and DEP marked in its header (older Windows ignores the marks), the
# mark that no handler of structured exceptions lies in it (the runtime
# registers none; it only sets the process's last-chance filter), and no link
# time stamp, so that the same commit builds the same bytes. It also gives
# TARGET a VERSIONINFO resource, generated into the build tree from
# cmake/version.rc.in, with the project version, the product and company
# names, FILE_NAME and DESCRIPTION; no library's own .rc carries a version.
# Last, the built file is signed (below) under DESCRIPTION.

set(ZEVARIDA_PRODUCT "Wireless LAN Status Tray Applet")
set(ZEVARIDA_COMPANY "Quorvane")
set(LEAN_RUNTIME ${CMAKE_SOURCE_DIR}/common/LeanRuntime.cpp ${CMAKE_SOURCE_DIR}/common/StackGuard.cpp)
set(LEAN_COMPILE_OPTIONS -Os -ffunction-sections -fdata-sections
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fstack-protector-strong)
set(LEAN_LINK_OPTIONS -s -Wl,--gc-sections
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-seh -Wl,--no-insert-timestamp)

# Authenticode signing (scripts/sign.sh): with the certificate and key that
# these two name, for a release; without them with a throwaway certificate
# made once in the build tree. Either way each signature is verified at once,
# and signing/signer.crt in the build tree is the certificate it verifies
# against (tests/shipped checks every shipped file with it).
set(ZEVARIDA_SIGNING_CERT "$ENV{ZEVARIDA_SIGNING_CERT}" CACHE FILEPATH
    "Certificate, with its chain up to the root, that signs the shipped binaries; empty: a throwaway one")
set(ZEVARIDA_SIGNING_KEY "$ENV{ZEVARIDA_SIGNING_KEY}" CACHE FILEPATH
    "Private key of ZEVARIDA_SIGNING_CERT")
set(SIGN_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/sign.sh)
set(SIGNING_DIR ${CMAKE_BINARY_DIR}/signing)
if(ZEVARIDA_SIGNING_CERT AND ZEVARIDA_SIGNING_KEY)
    set(SIGNING_CERT ${ZEVARIDA_SIGNING_CERT})
    set(SIGNING_KEY ${ZEVARIDA_SIGNING_KEY})
elseif(ZEVARIDA_SIGNING_CERT OR ZEVARIDA_SIGNING_KEY)
    message(FATAL_ERROR "ZEVARIDA_SIGNING_CERT and ZEVARIDA_SIGNING_KEY go together: set both or neither")
else()
    execute_process(COMMAND ${SIGN_SCRIPT} throwaway ${SIGNING_DIR} RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
        message(FATAL_ERROR "scripts/sign.sh could not make the throwaway certificate")
    endif()
    set(SIGNING_CERT ${SIGNING_DIR}/throwaway.crt)
    set(SIGNING_KEY ${SIGNING_DIR}/throwaway.key)
endif()
configure_file(${SIGNING_CERT} ${SIGNING_DIR}/signer.crt COPYONLY)

function(zevarida_shipped_binary target file_name description)
    set(VERSION_FILE_NAME ${file_name})
    set(VERSION_DESCRIPTION ${description})
    get_filename_component(VERSION_INTERNAL_NAME ${file_name} NAME_WE)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(VERSION_FILE_TYPE VFT_APP)
    else()
        set(VERSION_FILE_TYPE VFT_DLL)
        # ld's automatic base for a library hashes the output's whole path, so
        # a tree elsewhere would link other bytes. This one comes from the file
        # name alone, on 64 KB, between 0x61300000 and 0x6FFF0000 as ld's do:
        # the family's libraries, loaded into one process, still get bases
        # apart on the Windows that have no ASLR to move them.
        string(MD5 name_hash ${file_name})
        string(SUBSTRING ${name_hash} 0 4 name_hash)
        math(EXPR image_base "0x61300000 + (0x${name_hash} % 3791) * 0x10000" OUTPUT_FORMAT HEXADECIMAL)
        target_link_options(${target} PRIVATE -Wl,--image-base,${image_base})
    endif()
    set(version_rc ${CMAKE_BINARY_DIR}/version/${target}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${version_rc} @ONLY)
    target_sources(${target} PRIVATE ${LEAN_RUNTIME} ${version_rc})
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:${LEAN_COMPILE_OPTIONS}>)
    target_link_options(${target} PRIVATE ${LEAN_LINK_OPTIONS})
    # Signed by its own link step, so that whatever packs it gets it signed.
    set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK
        "\"${SIGN_SCRIPT}\" link \"${SIGNING_CERT}\" \"${SIGNING_KEY}\" \"${description}\"")
endfunction()
