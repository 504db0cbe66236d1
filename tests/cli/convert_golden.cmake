# Converts the golden input with the real program and area 0.1 and compares the output, byte for
# byte, with the expected table: every build (native, 64-bit and 32-bit Windows) must write the
# same bytes.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${DATA}/golden-input.txt DESTINATION ${WORK})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --area 0.1 ${WORK}/golden-input.txt
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}\n${out}\n${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/golden-input+PDRT.txt
                        ${DATA}/golden-expected-area-0.1.txt RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${WORK}/golden-input+PDRT.txt differs from golden-expected-area-0.1.txt")
endif()
