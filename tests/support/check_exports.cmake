# Fails unless the functions the library exports are exactly its ten entry points: the
# plug-in's, or the names given as EXPECTED (a ;-list).
# Usage: cmake -DNM=<nm> -DLIBRARY=<path> [-DEXPECTED=<names>] -P check_exports.cmake
if(DEFINED EXPECTED)
  set(expected ${EXPECTED})
else()
  set(expected
    CleanUp CloseAllWindowsForCNTClient GetEnableMenuItem GetIPODllVersion
    GetRunTimeClassFromMenuId InitializeQuorIPO SetExeCallBackFun SetIPODocTemplate
    SetIPOGlobalConfiguration SetSizeCallBack)
endif()

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()

set(functions)
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ [TtWi] (.+)$")
    set(name ${CMAKE_MATCH_1})
    if(NOT name MATCHES "^_(init|fini)$")
      list(APPEND functions ${name})
    endif()
  endif()
endforeach()

list(SORT functions)
list(SORT expected)
if(NOT functions STREQUAL expected)
  message(FATAL_ERROR "exported functions: ${functions}\nexpected: ${expected}")
endif()
message(STATUS "exactly the ten entry points are exported")
