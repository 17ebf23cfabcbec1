if(TARGET ipo_orderbook)
  ipo_add_test(orderbook_rows_test SOURCES orderbook_rows_test.cpp LIBS ipo_orderbook)
  ipo_add_test(orderbook_view_test SOURCES orderbook_view_test.cpp
    LIBS ipo_orderbook ipo_test_support ipofw_headless)
endif()
