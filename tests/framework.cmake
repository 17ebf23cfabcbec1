ipo_add_test(framework_text_test SOURCES framework_text_test.cpp LIBS ipofw)
ipo_add_test(framework_sort_test SOURCES framework_sort_test.cpp LIBS ipofw)
