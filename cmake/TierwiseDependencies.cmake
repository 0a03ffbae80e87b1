# libxlsxwriter and CLI11, found the way each platform ships them.
#
# tierwise::xlsxwriter: Debian's libxlsxwriter-dev through pkg-config; where there is no
# pkg-config file or no pkg-config (vcpkg on Windows, whose port installs only xlsxwriter.pc; the
# MinGW cross-build's prefix), the header and the library found directly, with zlib.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND AND NOT CMAKE_CROSSCOMPILING)
  pkg_check_modules(XLSXWRITER QUIET IMPORTED_TARGET xlsxwriter)
endif()
if(XLSXWRITER_FOUND)
  add_library(tierwise::xlsxwriter ALIAS PkgConfig::XLSXWRITER)
else()
  find_path(TIERWISE_XLSXWRITER_INCLUDE_DIR xlsxwriter.h)
  find_library(TIERWISE_XLSXWRITER_LIBRARY NAMES xlsxwriter libxlsxwriter)
  if(NOT TIERWISE_XLSXWRITER_INCLUDE_DIR OR NOT TIERWISE_XLSXWRITER_LIBRARY)
    message(FATAL_ERROR "libxlsxwriter not found: install libxlsxwriter-dev (Debian) or vcpkg's libxlsxwriter, "
                        "or name it with -DTIERWISE_XLSXWRITER_INCLUDE_DIR=... -DTIERWISE_XLSXWRITER_LIBRARY=...")
  endif()
  find_package(ZLIB REQUIRED)
  add_library(tierwise_xlsxwriter UNKNOWN IMPORTED)
  set_target_properties(tierwise_xlsxwriter PROPERTIES
    IMPORTED_LOCATION ${TIERWISE_XLSXWRITER_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${TIERWISE_XLSXWRITER_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
  add_library(tierwise::xlsxwriter ALIAS tierwise_xlsxwriter)
  message(STATUS "libxlsxwriter: ${TIERWISE_XLSXWRITER_LIBRARY}")
endif()

# CLI11 is header-only: its CMake package where installed, else its headers.
find_package(CLI11 CONFIG QUIET)
if(NOT CLI11_FOUND)
  find_path(TIERWISE_CLI11_INCLUDE_DIR CLI/CLI.hpp)
  if(NOT TIERWISE_CLI11_INCLUDE_DIR)
    message(FATAL_ERROR "CLI11 not found: install libcli11-dev (Debian) or vcpkg's cli11")
  endif()
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${TIERWISE_CLI11_INCLUDE_DIR})
endif()
