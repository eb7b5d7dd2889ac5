# Fails unless MODULE's dynamic symbol table defines PluginMain and nothing else.
execute_process(COMMAND nm -D --defined-only ${MODULE}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX REPLACE "[^\n]* [A-Za-z] " "" names "${symbols}")
string(STRIP "${names}" names)
if(NOT names STREQUAL "PluginMain")
  message(FATAL_ERROR "${MODULE} exports:\n${symbols}")
endif()
