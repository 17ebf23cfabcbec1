# The reference IPO service and the companion library, against a real ipo-service process.
if(TARGET ipo-service AND TARGET corvex)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  find_package(nlohmann_json REQUIRED)
  find_package(SQLite3 REQUIRED)

  add_library(ipo_service_harness STATIC ${CMAKE_CURRENT_LIST_DIR}/service_harness.cpp)
  target_include_directories(ipo_service_harness PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(ipo_service_harness PUBLIC ipofw)
  target_compile_definitions(ipo_service_harness PUBLIC IPO_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  add_dependencies(ipo_service_harness ipo-service corvex)

  set(service_test_libs ipo_service_harness PkgConfig::HTTPLIB nlohmann_json::nlohmann_json)
  ipo_add_test(service_rules_test SOURCES service_rules_test.cpp LIBS ${service_test_libs})
  ipo_add_test(service_bad_input_test SOURCES service_bad_input_test.cpp LIBS ${service_test_libs})
  ipo_add_test(service_limits_test SOURCES service_limits_test.cpp LIBS ${service_test_libs})
  target_compile_definitions(service_limits_test PRIVATE IPO_PROJECT_VERSION="${PROJECT_VERSION}")
  ipo_add_test(companion_test SOURCES companion_test.cpp LIBS ${service_test_libs} corvex_codec)
endif()

if(TARGET ipo_service_harness)
  add_executable(ipo_load_driver service_load_driver.cpp)
  target_link_libraries(ipo_load_driver PRIVATE ipo_service_harness SQLite::SQLite3 Threads::Threads)
  add_test(NAME service_load
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/service_load.sh ${CMAKE_BINARY_DIR}/bin)
  add_test(NAME service_crash
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/service_crash.sh ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(service_load service_crash PROPERTIES TIMEOUT 300)
endif()

# The fuzz target of the companion's answer decoding, built with clang and run for 20 seconds
# (once, in the plain build: it carries its own sanitizers).
find_program(IPO_CLANGXX clang++)
if(IPO_CLANGXX AND NOT IPO_SANITIZE)
  add_test(NAME companion_decode_fuzz
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/companion_fuzz.sh ${CMAKE_BINARY_DIR}/fuzz 20)
  set_tests_properties(companion_decode_fuzz PROPERTIES TIMEOUT 300)
endif()

# The plug-in's views against the real companion and a real ipo-service.
if(TARGET ipo_service_harness AND TARGET ipo_watch AND TARGET ipo_bid AND TARGET ipo_orderbook)
  ipo_add_test(service_end_to_end_test SOURCES service_end_to_end_test.cpp
               LIBS ipo_service_harness ipo_watch ipo_bid ipo_orderbook ipo_test_support)
endif()
