# cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DOUT=dir -P check_deb.cmake
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${CONFIG}" -B "${OUT}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${out}")
endif()
file(GLOB debs "${OUT}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${OUT}, found: ${debs}")
endif()

execute_process(COMMAND dpkg-deb -c "${debs}" OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed")
endif()
foreach(path
    ./usr/bin/q51setup
    ./usr/bin/q51ctl
    ./usr/bin/q51sim
    ./usr/share/applications/q51setup.desktop
    ./usr/share/icons/hicolor/scalable/apps/q51setup.svg
    ./usr/share/mime/packages/q51setup.xml
    ./usr/share/q51setup/help/index.html
    ./usr/share/bash-completion/completions/q51ctl)
  string(FIND "${listing}" " ${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${path} missing from the package:\n${listing}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -f "${debs}" Depends OUTPUT_VARIABLE depends)
foreach(library libqt6core6 libqt6widgets6 libqt6serialport6 qt6-qpa-plugins)
  string(FIND "${depends}" "${library}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "Depends lacks ${library}: ${depends}")
  endif()
endforeach()
message(STATUS "package ok: ${debs}\nDepends: ${depends}")
