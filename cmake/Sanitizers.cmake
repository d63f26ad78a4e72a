# PLUMO_SANITIZE: every target built and linked with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer; the first report ends the process with a failing status.
option(PLUMO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(PLUMO_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang|GNU")
        message(FATAL_ERROR "PLUMO_SANITIZE needs clang or gcc, not ${CMAKE_CXX_COMPILER_ID}")
    endif()
    set(PLUMO_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                             -fno-omit-frame-pointer)
    add_compile_options(${PLUMO_SANITIZE_FLAGS})
    add_link_options(${PLUMO_SANITIZE_FLAGS})
endif()
