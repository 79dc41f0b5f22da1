# cmake -DPROGRAM=path/to/q51ctl -P check_headless.cmake
# q51ctl must run on a machine with no display stack: none of the libraries
# a window needs may be among the ones it loads.
execute_process(COMMAND ldd "${PROGRAM}" OUTPUT_VARIABLE libraries RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
foreach(gui libQt6Widgets libQt6Gui libQt6DBus libGL libEGL libX11 libxcb libwayland)
  string(FIND "${libraries}" "${gui}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} loads ${gui}:\n${libraries}")
  endif()
endforeach()
string(FIND "${libraries}" "libQt6Core" at)
if(at EQUAL -1)
  message(FATAL_ERROR "ldd listed no Qt at all, so it proves nothing:\n${libraries}")
endif()
