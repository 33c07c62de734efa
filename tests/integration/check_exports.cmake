# Checks that a Windows library exports exactly the entry points its hosts
# call: cmake -DOBJDUMP=... -DLIBRARY=... -P check_exports.cmake
set(expected
  ACFCanUnloadNow ACFGetClassFactory ACFGetSDKVersion ACFRegisterComponent ACFRegisterPlugin
  ACFShutdown ACFStartup ExitDll GetPluginFactory InitDll TORVAPluginMain VSTPluginMain)
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot read ${LIBRARY}")
endif()
# The name table lists "[ n] Name" lines after its heading, up to a blank line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
string(REPLACE "\n" ";" lines "${table}")
set(names "")
foreach(line IN LISTS lines)
  if(line MATCHES "^\t\\[ *[0-9]+\\] ([A-Za-z0-9_]+)$")
    list(APPEND names ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT names)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exports: ${names}\nexpected: ${expected}")
endif()
