# Run at build time: gives the program folder an empty memo database unless it has one.
if(NOT EXISTS "${DATABASE}")
    execute_process(COMMAND "${NOTAVO}" --init RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Notavo --init failed (${result}) for ${DATABASE}")
    endif()
endif()
