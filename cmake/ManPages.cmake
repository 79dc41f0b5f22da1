# Manual pages, installed to man1. q51ctl's and q51sim's are written by
# help2man from the programs' own --help, so they say what the programs do;
# docs/man/<program>.h2m adds the sections --help leaves out. q51setup takes
# no options and has a page written by hand.
find_program(HELP2MAN help2man REQUIRED)

function(q51_help2man_page target summary)
  set(page ${PROJECT_BINARY_DIR}/man/${target}.1)
  set(extra ${PROJECT_SOURCE_DIR}/docs/man/${target}.h2m)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${HELP2MAN} --no-info "--name=${summary}"
            --version-string=${PROJECT_VERSION} --include=${extra} --output=${page}
            $<TARGET_FILE:${target}>
    DEPENDS ${target} ${extra}
    VERBATIM)
  add_custom_target(${target}_manpage ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

q51_help2man_page(q51ctl "command-line tool for Q51 and V51 bar-code decoders")
q51_help2man_page(q51sim "simulated Q51/V51 bar-code decoder on a pseudo-terminal")
configure_file(docs/man/q51setup.1.in ${PROJECT_BINARY_DIR}/man/q51setup.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/man/q51setup.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
