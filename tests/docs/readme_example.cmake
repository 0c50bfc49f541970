# The README's own dictionary example: the README shows
# docs/example/szotar.json as it is, cdstool builds a packet from it, and the
# packet holds the rows the README says. Run by ctest as readme_example.
file(READ "${SOURCE_DIR}/README.md" readme)
file(READ "${SOURCE_DIR}/docs/example/szotar.json" json)
string(FIND "${readme}" "```json\n${json}```\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md does not show docs/example/szotar.json as it is")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
function(cdstool expected)
  execute_process(COMMAND "${CDSTOOL}" ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
  if(NOT result EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "cdstool ${ARGN}: status ${result}\n${err}\ngot:\n${out}\nexpected:\n${expected}")
  endif()
endfunction()
cdstool("" build "${SOURCE_DIR}/docs/example/szotar.json" "${WORK_DIR}/szotar.cds")
cdstool(".ELŐSZÓ\t\\N\nKÁNON\tkanon.mid\nOKTÁV\toktav.wav\n"
  rows "${WORK_DIR}/szotar.cds" --fields KSZOVEG,FAJLNEV)
# What the window shows: before anything is typed, the headwords that begin
# with "."; after typing K, those that begin with K.
cdstool(".ELŐSZÓ\n" rows "${WORK_DIR}/szotar.cds" --index KSZOVEG --filter "KSZOVEG='.*'"
  --fields KSZOVEG)
cdstool("KÁNON\n" rows "${WORK_DIR}/szotar.cds" --index KSZOVEG --filter "KSZOVEG='K*'"
  --fields KSZOVEG)
file(REMOVE_RECURSE "${WORK_DIR}")
