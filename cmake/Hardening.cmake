# Debian's hardening flags, as dpkg-buildflags gives them, on every binary of a native build:
# fortified string and memory functions (optimised builds only), the strong stack protector,
# format-string checks, read-only relocations and immediate binding. The sanitizer build and
# the Windows cross build keep their own flags. Optimisation and debug flags stay CMake's.
if(IPO_SANITIZE OR CMAKE_CROSSCOMPILING)
  return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
set(buildflags_env DEB_BUILD_MAINT_OPTIONS=hardening=+all)
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  list(APPEND buildflags_env DEB_BUILD_OPTIONS=noopt)  # fortify needs optimisation
endif()

function(ipo_dpkg_buildflags kind out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${buildflags_env} ${DPKG_BUILDFLAGS} --get ${kind}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # The plug-in's version text carries its build date, so -Wdate-time is left out too.
  list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*|Wdate-time)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

ipo_dpkg_buildflags(CPPFLAGS cppflags)
ipo_dpkg_buildflags(CXXFLAGS cxxflags)
ipo_dpkg_buildflags(LDFLAGS ldflags)
add_compile_options(${cppflags} ${cxxflags})
add_link_options(${ldflags})
