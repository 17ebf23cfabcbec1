# Cross-compiles 64-bit Windows binaries with Debian's MinGW-w64 (the posix thread model, for
# std::thread and std::mutex) and runs them under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(IPO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${IPO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${IPO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${IPO_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${IPO_MINGW_TRIPLET}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${IPO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libgcc, libstdc++, winpthread) is linked into every executable and DLL,
# so that a binary needs nothing beside it but our own DLLs. A DLL without export marks (the
# framework's) exports all its functions, but never the runtime's: each DLL keeps its own.
set(ipo_runtime_libraries libgcc.a:libgcc_eh.a:libstdc++.a:libwinpthread.a:libpthread.a)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,${ipo_runtime_libraries}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,${ipo_runtime_libraries}")

# Tests run under Wine, in a prefix of their own inside the build folder, without a display,
# without Wine's debug chatter and without its offer to install .NET and HTML engines.
find_program(IPO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
find_program(IPO_WINESERVER NAMES wineserver wineserver64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(IPO_WINE AND IPO_WINESERVER)
  set(IPO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(IPO_WINE_ENVIRONMENT ${CMAKE_COMMAND} -E env WINEPREFIX=${IPO_WINEPREFIX} WINEDEBUG=-all
      DISPLAY= WINEDLLOVERRIDES=mscoree,mshtml=)
  # A failing program's exit status and Wine's error messages are printed (wine-run.sh).
  set(CMAKE_CROSSCOMPILING_EMULATOR ${IPO_WINE_ENVIRONMENT} sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh
      ${IPO_WINE})
endif()
