# Desktop tests: the wx backend and the terminal, on a virtual display.
set(IPO_DESKTOP_TESTS_DIR ${CMAKE_CURRENT_LIST_DIR})
if(TARGET ipofw_wx)
  find_program(XVFB_RUN xvfb-run REQUIRED)
  set(IPO_XVFB ${XVFB_RUN} -a -s "-screen 0 1280x1024x24")

  # GLib's log handler turns every Gtk/GLib warning during a GUI test into a failure.
  pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)
  add_library(desktop_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/desktop_wx_support.cpp)
  target_link_libraries(desktop_test_support PUBLIC ipofw_wx GTest::gtest PRIVATE PkgConfig::GLIB)

  # GUI tests need a display: each executable runs once under xvfb-run.
  function(ipo_add_gui_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${IPO_DESKTOP_TESTS_DIR})
    target_link_libraries(${name} PRIVATE desktop_test_support ${T_LIBS} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${IPO_XVFB} $<TARGET_FILE:${name}>)
  endfunction()

  ipo_add_gui_test(desktop_wx_backend_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/desktop_wx_backend_test.cpp LIBS ipo_orderbook)
endif()

# The terminal against a real ipo-service, with the real plug-in and companion library. The
# service's test harness is defined by a fragment read after this one, hence the deferred call.
function(ipo_add_terminal_tests)
  if(TARGET ipo_host_messages AND TARGET ipo_service_harness)
    ipo_add_test(host_messages_test SOURCES ${IPO_DESKTOP_TESTS_DIR}/host_messages_test.cpp
                 LIBS ipo_host_messages ipo_service_harness)
  endif()
  if(TARGET ipo_terminal_core AND TARGET QuorIPO64 AND TARGET ipo_service_harness)
    ipo_add_gui_test(desktop_terminal_test SOURCES ${IPO_DESKTOP_TESTS_DIR}/desktop_terminal_test.cpp
                     LIBS ipo_terminal_core ipo_service_harness)
    add_dependencies(desktop_terminal_test QuorIPO64 corvex ipo-service)
    set_tests_properties(desktop_terminal_test PROPERTIES TIMEOUT 300)
  endif()
endfunction()
cmake_language(DEFER CALL ipo_add_terminal_tests)
