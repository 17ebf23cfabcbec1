# Fails unless the functions the library exports are exactly its ten entry points: the
# plug-in's, or the names given as EXPECTED (a ;-list).
# Usage: cmake -DNM=<nm> -DLIBRARY=<path> [-DEXPECTED=<names>] -P check_exports.cmake
#    or: cmake -DOBJDUMP=<objdump> -DLIBRARY=<dll> [-DEXPECTED=<names>] -P check_exports.cmake
# A DLL's export table is read with objdump -p: every exported address must carry one of the
# names (no entry reachable by ordinal alone), and each name must be plain (no @N, no mangling).
cmake_minimum_required(VERSION 3.25)

if(DEFINED EXPECTED)
  set(expected ${EXPECTED})
else()
  set(expected
    CleanUp CloseAllWindowsForCNTClient GetEnableMenuItem GetIPODllVersion
    GetRunTimeClassFromMenuId InitializeQuorIPO SetExeCallBackFun SetIPODocTemplate
    SetIPOGlobalConfiguration SetSizeCallBack)
endif()

if(DEFINED OBJDUMP)
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
else()
  execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "listing the exports of ${LIBRARY} failed")
endif()

set(functions)
string(REPLACE "\n" ";" lines "${listing}")
if(DEFINED OBJDUMP)
  set(section "")
  set(addresses 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^Export Address Table -- ")
      set(section addresses)
    elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
      set(section names)
    elseif(line STREQUAL "")
      set(section "")
    elseif(section STREQUAL "addresses" AND line MATCHES "^\t\\[ *[0-9]+\\] ")
      math(EXPR addresses "${addresses} + 1")
    elseif(section STREQUAL "names" AND line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
      list(APPEND functions ${CMAKE_MATCH_1})
    endif()
  endforeach()
  list(LENGTH functions named)
  if(NOT addresses EQUAL named)
    message(FATAL_ERROR "${addresses} exported addresses but ${named} names: ${functions}")
  endif()
else()
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-fA-F]+ [TtWi] (.+)$")
      set(name ${CMAKE_MATCH_1})
      if(NOT name MATCHES "^_(init|fini)$")
        list(APPEND functions ${name})
      endif()
    endif()
  endforeach()
endif()

list(SORT functions)
list(SORT expected)
if(NOT functions STREQUAL expected)
  message(FATAL_ERROR "exported functions: ${functions}\nexpected: ${expected}")
endif()
message(STATUS "exported exactly the expected entry points: ${functions}")
