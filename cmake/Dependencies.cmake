# Every third-party dependency is found here, once, as an imported target.
find_package(Threads REQUIRED)

if(CMAKE_CROSSCOMPILING)
  # GoogleTest for the target, built here from Debian's source package (googletest), without the
  # project's warning flags.
  get_directory_property(ipo_compile_options COMPILE_OPTIONS)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${ipo_compile_options}")
else()
  find_package(GTest REQUIRED)
endif()

if(CMAKE_CROSSCOMPILING_EMULATOR AND IPO_WINEPREFIX AND NOT EXISTS ${IPO_WINEPREFIX}/system.reg)
  # Wine makes its prefix on first use; made once here, the tests never race to make it.
  message(STATUS "Preparing the Wine prefix ${IPO_WINEPREFIX}")
  execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
                  RESULT_VARIABLE wineboot_status OUTPUT_QUIET ERROR_QUIET)
  if(NOT wineboot_status EQUAL 0)
    message(FATAL_ERROR "wineboot failed (${wineboot_status})")
  endif()
endif()
# A second prefix for the tests that open windows: its own Wine server runs on their display.
if(CMAKE_CROSSCOMPILING_EMULATOR AND IPO_WINEPREFIX)
  set(IPO_WINE_GUI_PREFIX ${IPO_WINEPREFIX}-gui)
  if(NOT EXISTS ${IPO_WINE_GUI_PREFIX}/system.reg)
    message(STATUS "Preparing the Wine prefix ${IPO_WINE_GUI_PREFIX}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${IPO_WINE_GUI_PREFIX} WINEDEBUG=-all
                            DISPLAY= WINEDLLOVERRIDES=mscoree,mshtml= ${IPO_WINE} wineboot --init
                    RESULT_VARIABLE wineboot_status OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${IPO_WINE_GUI_PREFIX}
                            ${IPO_WINESERVER} -w)
    if(NOT wineboot_status EQUAL 0)
      message(FATAL_ERROR "wineboot failed for the GUI prefix (${wineboot_status})")
    endif()
  endif()
endif()

if(IPO_BUILD_SERVICE)
  find_package(PkgConfig REQUIRED)
  find_package(nlohmann_json REQUIRED)
  find_package(simdjson REQUIRED)
  find_package(SQLite3 REQUIRED)
  # cpp-httplib is a compiled library here: its feature defines must come from its pkg-config file.
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  # Its TLS library, called directly to set the terminal's minimum protocol and ciphers.
  find_package(OpenSSL REQUIRED)
  # The companion's HTTP client: it sends a small request in one write, head and body together.
  find_package(CURL REQUIRED)
  # The service's HTTP server: event-driven, with header, body and time limits enforced while reading.
  pkg_check_modules(MICROHTTPD REQUIRED IMPORTED_TARGET libmicrohttpd)
  # Its TLS library, called directly to watch a connection's records (renegotiation).
  pkg_check_modules(GNUTLS REQUIRED IMPORTED_TARGET gnutls)
  find_package(CLI11 REQUIRED)
  # Password hashing, session tokens (the service).
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
  # The service's access and audit log.
  find_package(spdlog REQUIRED)
  # Answers compressed for the link (service) and decoded as they arrive (companion).
  pkg_check_modules(ZSTD REQUIRED IMPORTED_TARGET libzstd)
  pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
endif()

if(WIN32 AND NOT IPO_BUILD_SERVICE)
  # nlohmann-json is header-only: Debian's headers serve the Windows build too, from a folder
  # that holds them alone (the build machine's other headers must not shadow MinGW's).
  set(ipo_json_headers /usr/include/nlohmann)
  if(NOT EXISTS ${ipo_json_headers}/json.hpp)
    message(FATAL_ERROR "nlohmann-json's headers are missing (Debian's nlohmann-json3-dev)")
  endif()
  set(ipo_json_include ${CMAKE_BINARY_DIR}/nlohmann-json)
  file(MAKE_DIRECTORY ${ipo_json_include})
  file(CREATE_LINK ${ipo_json_headers} ${ipo_json_include}/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                        INTERFACE_INCLUDE_DIRECTORIES ${ipo_json_include})
endif()

if(IPO_BUILD_WX)
  find_package(PkgConfig REQUIRED)
  find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base)
  add_library(ipo_wxwidgets INTERFACE)
  target_include_directories(ipo_wxwidgets SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(ipo_wxwidgets INTERFACE ${wxWidgets_DEFINITIONS})
  target_compile_options(ipo_wxwidgets INTERFACE ${wxWidgets_CXX_FLAGS})
  target_link_libraries(ipo_wxwidgets INTERFACE ${wxWidgets_LIBRARIES})
  find_program(XVFB_RUN xvfb-run REQUIRED)
  # The GUI tests fail on any GTK or GLib warning through GLib's log writer.
  pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)
  pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  # The wx backend reads the window manager's stacking from the X server; the tests' wx user sends
  # its keys and clicks through it (XTest), under a window manager.
  pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
  pkg_check_modules(XTEST REQUIRED IMPORTED_TARGET xtst)
  find_program(OPENBOX openbox REQUIRED)
endif()

if(IPO_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()

if(WIN32)
  # CLI11 is header-only: Debian's headers serve the Windows terminal too, from a folder that holds
  # them alone (the build machine's other headers must not shadow MinGW's).
  if(NOT EXISTS /usr/include/CLI/CLI.hpp)
    message(FATAL_ERROR "CLI11's headers are missing (Debian's libcli11-dev)")
  endif()
  set(ipo_cli11_include ${CMAKE_BINARY_DIR}/cli11)
  file(MAKE_DIRECTORY ${ipo_cli11_include})
  file(CREATE_LINK /usr/include/CLI ${ipo_cli11_include}/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${ipo_cli11_include})
endif()
