if(TARGET ipo_orderbook)
  ipo_add_test(orderbook_rows_test SOURCES orderbook_rows_test.cpp LIBS ipo_orderbook)
endif()
