# Desktop tests: the wx backend and the terminal, on a virtual display.
if(TARGET ipofw_wx)
  find_program(XVFB_RUN xvfb-run REQUIRED)
  set(IPO_XVFB ${XVFB_RUN} -a -s "-screen 0 1280x1024x24")

  add_library(desktop_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/desktop_wx_support.cpp)
  target_link_libraries(desktop_test_support PUBLIC ipofw_wx GTest::gtest)

  # GUI tests need a display: each executable runs once under xvfb-run.
  function(ipo_add_gui_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(${name} PRIVATE desktop_test_support ${T_LIBS} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${IPO_XVFB} $<TARGET_FILE:${name}>)
  endfunction()

  ipo_add_gui_test(desktop_wx_backend_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/desktop_wx_backend_test.cpp)
endif()
