ipo_add_test(ui_test SOURCES ui_test.cpp LIBS ipo_ui ipofw_headless)
if(TARGET ipo_frame)
  ipo_add_test(generic_frame_test SOURCES generic_frame_test.cpp LIBS ipo_frame ipofw_headless)
endif()
