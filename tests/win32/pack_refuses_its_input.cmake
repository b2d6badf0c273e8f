# wltool pack given its input under a second name, another case of the same name, which Windows
# finds as the same file: it refuses with exit code 2, says why, and leaves the input whole.
# cmake -DEMULATOR=<runner and its arguments, "|" between them> -DWLTOOL=<wltool.exe> -DWORK=<dir> -P ...
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/same.txt" "Haus\thouse\n")
execute_process(COMMAND ${EMULATOR} "${WLTOOL}" pack same.txt SAME.TXT WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE code ERROR_VARIABLE errors)
file(READ "${WORK}/same.txt" text)
if(NOT code EQUAL 2 OR NOT errors MATCHES "same\\.txt and SAME\\.TXT are the same file" OR NOT text STREQUAL "Haus\thouse\n")
  message(FATAL_ERROR "exit code ${code}, same.txt now \"${text}\", standard error:\n${errors}")
endif()
