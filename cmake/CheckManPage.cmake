# cmake -DGROFF=... -DPAGE=... -P CheckManPage.cmake
# Formats a man page with every groff warning on and fails on any warning or error.
execute_process(COMMAND ${GROFF} -man -ww -z ${PAGE}
                RESULT_VARIABLE status ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "${PAGE}:\n${warnings}")
endif()
