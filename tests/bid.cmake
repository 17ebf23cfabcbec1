ipo_add_test(bid_order_entry_test SOURCES bid_order_entry_test.cpp LIBS ipo_bid ipo_test_support)
ipo_add_test(bid_place_order_test SOURCES bid_place_order_test.cpp LIBS ipo_bid ipo_test_support)
ipo_add_test(bid_terms_test SOURCES bid_terms_test.cpp LIBS ipo_bid ipo_test_support)
if(TARGET ipo_watch)
  ipo_add_test(bid_end_to_end_test SOURCES bid_end_to_end_test.cpp
               LIBS ipo_watch ipo_bid ipo_test_support)
endif()
