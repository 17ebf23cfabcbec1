# Fails unless the functions the library exports are exactly its ten entry points: the
# plug-in's, or the names given as EXPECTED (a ;-list).
# Usage: cmake -DNM=<nm> -DLIBRARY=<path> [-DEXPECTED=<names>] -P check_exports.cmake
#    or: cmake -DOBJDUMP=<objdump> -DLIBRARY=<dll> [-DEXPECTED=<names>] -P check_exports.cmake
# A DLL's export table is read with objdump -p: every exported address must carry one of the
# names (no entry reachable by ordinal alone), and each name must be plain (no @N, no mangling).
#
# With TOOLS (a ;-list of static test-tool libraries) and LIBRARY a ;-list of ELF libraries, it
# fails instead when a library exports a function that one of the tools defines: a test tool
# compiled into what ships.
cmake_minimum_required(VERSION 3.25)

# The functions the files define, as nm lists them with `options`, of the symbol types `types`.
function(functions_of files options types out)
  set(names)
  foreach(file IN LISTS files)
    execute_process(COMMAND ${NM} ${options} --defined-only ${file} OUTPUT_VARIABLE listing
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "listing the functions of ${file} failed")
    endif()
    string(REGEX MATCHALL "[0-9a-fA-F]+ [${types}] [^\n]+" lines "${listing}")
    list(TRANSFORM lines REPLACE "^[0-9a-fA-F]+ [${types}] " "")
    list(APPEND names ${lines})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

if(DEFINED TOOLS)
  functions_of("${TOOLS}" "" T defined)
  if(NOT defined)
    message(FATAL_ERROR "no functions in ${TOOLS}")
  endif()
  functions_of("${LIBRARY}" -D TtWi shipped)
  set(leaked)
  foreach(name IN LISTS defined)
    if(name IN_LIST shipped)
      list(APPEND leaked ${name})
    endif()
  endforeach()
  if(leaked)
    message(FATAL_ERROR "test-tool functions exported by ${LIBRARY}: ${leaked}")
  endif()
  list(LENGTH defined count)
  message(STATUS "none of the ${count} test-tool functions is exported by ${LIBRARY}")
  return()
endif()

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
