# Packs, dumps, reports and checks with wltool: -DWLTOOL=<tool> -DWORK=<scratch directory>
# -DSAMPLE_MEDIUM=<the sample medium>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_equal what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(FATAL_ERROR "${what}: got [${actual}], expected [${expected}]")
  endif()
endfunction()

# UTF-8 in, code page 1252 records out, and back to the same text.
file(WRITE ${WORK}/good.txt "Haus\thouse, home\r\n\nStraße\tstreet\n€uro\tEuro, ‘quoted’\n")
execute_process(COMMAND ${WLTOOL} pack ${WORK}/good.txt ${WORK}/good.wb --utf8 RESULT_VARIABLE rc ERROR_VARIABLE err)
expect_equal("pack exit code" "${rc}" "0")
file(READ ${WORK}/good.wb hex HEX)
string(LENGTH "${hex}" length)
expect_equal("three records" "${length}" "504")
string(SUBSTRING "${hex}" 0 168 first)
string(REPEAT "00" 27 pad27)
string(REPEAT "00" 42 pad42)
expect_equal("first record, zero after both texts and in the trailing field" "${first}"
  "48617573${pad27}686f7573652c20686f6d65${pad42}")
string(SUBSTRING "${hex}" 168 12 strasse)
expect_equal("ß as one byte" "${strasse}" "53747261df65")
string(SUBSTRING "${hex}" 336 8 euro)
expect_equal("€ as 0x80" "${euro}" "8075726f")
execute_process(COMMAND ${WLTOOL} dump ${WORK}/good.wb --utf8 OUTPUT_VARIABLE dumped RESULT_VARIABLE rc)
expect_equal("dump" "${dumped}" "Haus\thouse, home\nStraße\tstreet\n€uro\tEuro, ‘quoted’\n")

# Entries that do not fit are reported and left out, or cut with --cut.
set(head31 "abcdefghijklmnopqrstuvwxyzABCDE")
set(long "one, two, three, four, five, six, seven, eight, nine")
file(WRITE ${WORK}/bad.txt "${head31}\tx\nok\t${long}\nsnow\t☃\nnotab\nfits\tyes\n")
execute_process(COMMAND ${WLTOOL} pack ${WORK}/bad.txt ${WORK}/bad.wb RESULT_VARIABLE rc ERROR_VARIABLE err)
expect_equal("exit code with problems" "${rc}" "1")
foreach(report "bad.txt:1: head word longer than 30 characters" "bad.txt:2: translations longer than 50 characters"
               "bad.txt:3: characters outside code page 1252" "bad.txt:4: no tab" "4 entries left out")
  string(FIND "${err}" "${report}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing report [${report}] in [${err}]")
  endif()
endforeach()
execute_process(COMMAND ${WLTOOL} dump ${WORK}/bad.wb OUTPUT_VARIABLE dumped)
expect_equal("only the fitting entry" "${dumped}" "fits\tyes\n")

execute_process(COMMAND ${WLTOOL} pack ${WORK}/bad.txt ${WORK}/cut.wb --cut RESULT_VARIABLE rc ERROR_VARIABLE err)
expect_equal("exit code with --cut" "${rc}" "1")  # the line without a tab is still left out
execute_process(COMMAND ${WLTOOL} dump ${WORK}/cut.wb OUTPUT_VARIABLE dumped)
expect_equal("cut entries" "${dumped}"
  "abcdefghijklmnopqrstuvwxyzABCD\tx\nok\tone, two, three, four, five, six, seven, eight\nsnow\t?\nfits\tyes\n")

# check: what it finds on the output, its exit code says whether it found anything.
execute_process(COMMAND ${WLTOOL} check ${SAMPLE_MEDIUM} OUTPUT_VARIABLE found RESULT_VARIABLE rc)
expect_equal("check of the sample medium" "${rc}: ${found}" "0: ")
execute_process(COMMAND ${WLTOOL} check ${WORK}/nothing OUTPUT_VARIABLE found RESULT_VARIABLE rc)
expect_equal("check of a medium without install.inf" "${rc}: ${found}"
  "1: ${WORK}/nothing/install.inf: Can't open INSTALL.INF\n")
