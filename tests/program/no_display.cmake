# Runs the program where no display can be had (CASE: "unset" names none, "unreachable" names
# one that nobody serves) and checks that it says so in one line on stderr and exits with 1.
set(env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
if(CASE STREQUAL "unreachable")
  list(APPEND env DISPLAY=:4999)
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ${env} ${PROGRAM}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
string(STRIP "${err}" line)
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "exit code ${rc}, not 1; stderr:\n${err}")
endif()
if(line MATCHES "\n" OR NOT line MATCHES "display.*DISPLAY")
  message(FATAL_ERROR "not one line naming the display on stderr:\n${err}")
endif()
if(NOT out STREQUAL "")
  message(FATAL_ERROR "printed on stdout:\n${out}")
endif()
message(STATUS "${line}")
