# Hardening builds. ORVO_SANITIZE=address builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, neither recovering, so the first finding stops the program and
# fails its test; ORVO_SANITIZE=thread builds with ThreadSanitizer. ORVO_FUZZ builds the
# libFuzzer targets of fuzz/ (clang only), with address and undefined sanitizers in everything
# they link.
set(ORVO_SANITIZE "" CACHE STRING "Sanitizers for the whole build: address, thread, or empty")
option(ORVO_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(ORVO_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(ORVO_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT ORVO_SANITIZE STREQUAL "")
    message(FATAL_ERROR "ORVO_SANITIZE must be address, thread or empty, not '${ORVO_SANITIZE}'")
endif()

if(ORVO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "ORVO_FUZZ needs clang (libFuzzer)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
