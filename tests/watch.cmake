ipo_add_test(ui_test SOURCES ui_test.cpp LIBS ipo_ui ipofw_headless)
