add_subdirectory(support)

ipo_add_test(containers_test SOURCES containers_test.cpp LIBS ipo_containers)
ipo_add_test(service_bridge_test SOURCES service_bridge_test.cpp LIBS ipo_test_support)
ipo_add_test(login_context_test SOURCES login_context_test.cpp LIBS ipo_test_support)
ipo_add_test(version_text_test SOURCES version_text_test.cpp LIBS ipo_spine)

if(TARGET QuorIPO64)
  # Each loads the plug-in library afresh in its own process.
  foreach(test plugin_exports_test plugin_first_load_test)
    ipo_add_test(${test} SOURCES ${test}.cpp LIBS ipo_test_support)
    target_compile_definitions(${test} PRIVATE IPO_PLUGIN_PATH="$<TARGET_FILE:QuorIPO64>")
    add_dependencies(${test} QuorIPO64)
  endforeach()
  add_test(NAME plugin_exports_only_entry_points
           COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DLIBRARY=$<TARGET_FILE:QuorIPO64>
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/support/check_exports.cmake)
endif()
