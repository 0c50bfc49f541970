# dorvem_check_includes(<dir> <allowed> <mode>): every quoted include of the
# sources of <dir> (*.h, *.cpp) must name a header below one of the folders
# in <allowed> (a list of prefixes such as "dataset/;views/rtf/"), or of <dir>
# itself. Each fault is reported with <mode> (SEND_ERROR at configure time,
# or the script's run).
#
# As a script: cmake -DDIR=<dir> -DNAME=<folder> "-DALLOWED=<a|b|...>"
#              -P check_includes.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

function(dorvem_check_includes dir name allowed mode)
  file(GLOB files ${dir}/*.h ${dir}/*.cpp)
  set(faults 0)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    get_filename_component(short ${file} NAME)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*" "\\1" path "${line}")
      set(ok FALSE)
      foreach(prefix IN LISTS allowed ITEMS "${name}/")
        string(FIND "${path}" "${prefix}" at)
        if(at EQUAL 0)
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        message(${mode} "${name}/${short} includes ${path}, which ${name}/ may not use")
        math(EXPR faults "${faults} + 1")
      endif()
    endforeach()
  endforeach()
  if(faults GREATER 0 AND CMAKE_SCRIPT_MODE_FILE)
    message(FATAL_ERROR "${faults} include fault(s) in ${name}/")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  string(REPLACE "|" ";" allowed "${ALLOWED}")
  dorvem_check_includes("${DIR}" "${NAME}" "${allowed}" SEND_ERROR)
endif()
