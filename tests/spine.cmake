add_subdirectory(support)

ipo_add_test(containers_test SOURCES containers_test.cpp LIBS ipo_containers)
ipo_add_test(service_bridge_test SOURCES service_bridge_test.cpp LIBS ipo_test_support)
