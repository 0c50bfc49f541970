# Installs the build at BUILD_DIR under PREFIX and checks the installed tree:
# the program folder with its data, the launcher link on the PATH, cdstool,
# the menu entry, icons and metainfo, the manual pages, licences and
# changelog, that the program started through the link finds its data in
# its own folder, and that the installed demo dictionary passes its own
# check. Run by ctest as install_layout.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  "${PROGRAM_DIR}/dorvem"
  "${PROGRAM_DIR}/Data/dorvem1.cds"
  "${PROGRAM_DIR}/Sounds/hangkep.mp3"
  "${PROGRAM_DIR}/Sounds/kottakep.mp3"
  "bin/cdstool"
  "share/man/man1/dorvem.1.gz"
  "share/man/man1/cdstool.1.gz"
  "share/doc/dorvem/copyright"
  "share/doc/dorvem/changelog.gz"
  "share/applications/${APP_ID}.desktop"
  "share/metainfo/${APP_ID}.metainfo.xml")
foreach(size 48 64 128 256)
  list(APPEND expected "share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The launcher is a relative link to the program.
if(NOT IS_SYMLINK "${PREFIX}/bin/dorvem")
  message(FATAL_ERROR "bin/dorvem is not a symbolic link")
endif()
file(READ_SYMLINK "${PREFIX}/bin/dorvem" target)
if(NOT target STREQUAL "../${PROGRAM_DIR}/dorvem")
  message(FATAL_ERROR "bin/dorvem points at '${target}', not '../${PROGRAM_DIR}/dorvem'")
endif()

# Started through the link, the program names the data file of its own
# folder; the link's folder would be bin/.
execute_process(COMMAND "${PREFIX}/bin/dorvem" --help
  RESULT_VARIABLE result OUTPUT_VARIABLE help ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dorvem --help failed: ${result} ${errors}")
endif()
file(REAL_PATH "${PREFIX}" realPrefix)
string(FIND "${help}" "\n  ${realPrefix}/${PROGRAM_DIR}/Data/dorvem1.cds\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "dorvem --help does not name ${realPrefix}/${PROGRAM_DIR}/Data/dorvem1.cds:\n${help}")
endif()
# Each icon has its size.
foreach(size 48 64 128 256)
  file(READ "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png" png
    OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${png}" 0 8 width)
  math(EXPR expectedWidth "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" expectedWidth "${expectedWidth}")
  string(LENGTH "${expectedWidth}" n)
  math(EXPR pad "8 - ${n}")
  string(REPEAT "0" ${pad} zeros)
  if(NOT width STREQUAL "${zeros}${expectedWidth}")
    message(FATAL_ERROR "the ${size} pixel icon is ${width} pixels wide (hex)")
  endif()
endforeach()

# The demo dictionary ships whole: the installed program's check of its own
# data finds no error.
execute_process(COMMAND "${PREFIX}/bin/dorvem" --check
  RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dorvem --check on the installed demo: status ${result}\n${report}${errors}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
