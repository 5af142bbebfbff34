# Warnings in our own code; third-party headers come in as system includes.
# The presets and CI turn ORVO_WARNINGS_AS_ERRORS on so that any warning fails them; a plain
# configure (as a packager's) leaves it off, so that a newer compiler's false warning cannot
# stop the build.
option(ORVO_WARNINGS_AS_ERRORS "Treat warnings in our own code as errors" OFF)

function(orvo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(ORVO_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
