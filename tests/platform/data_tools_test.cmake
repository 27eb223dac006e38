# Runs lexomat_scramble and lexomat_make_library on small inputs.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_run expected_rc)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
    if(NOT rc EQUAL expected_rc)
        message(FATAL_ERROR "${ARGN}: exit ${rc}, expected ${expected_rc}: ${err}")
    endif()
endfunction()

# Two lines, scrambled byte for byte, each followed by a line feed.
file(WRITE ${WORK}/good.txt "AB\r\nA\n")
expect_run(0 ${SCRAMBLE} ${WORK}/good.txt ${WORK}/good.out)
file(READ ${WORK}/good.out hex HEX)
if(NOT hex STREQUAL "bdbb0abd0a")
    message(FATAL_ERROR "scrambled bytes ${hex}")
endif()

# '~' (126) at position 119 scrambles to a line feed: refused, nothing written.
string(REPEAT "x" 118 padding)
file(WRITE ${WORK}/bad.txt "fine\n${padding}~\n")
expect_run(1 ${SCRAMBLE} ${WORK}/bad.txt ${WORK}/bad.out)
if(EXISTS ${WORK}/bad.out)
    message(FATAL_ERROR "a refused file was written")
endif()

# A library from two cards; a line without a definition is refused.
file(WRITE ${WORK}/cards.tsv "# comment\nHaus\thouse\n\nStraße\tstreet\n")
expect_run(0 ${MAKE_LIBRARY} ${WORK}/cards.tsv ${WORK}/cards.mdb)
file(SIZE ${WORK}/cards.mdb size)
if(size LESS 1000)
    message(FATAL_ERROR "library file too small: ${size}")
endif()
file(WRITE ${WORK}/broken.tsv "Haus\thouse\nBaum\n")
expect_run(1 ${MAKE_LIBRARY} ${WORK}/broken.tsv ${WORK}/broken.mdb)
if(EXISTS ${WORK}/broken.mdb)
    message(FATAL_ERROR "a refused library was written")
endif()
