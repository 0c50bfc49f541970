# dorvem_check_layers(<dataset dir> <table> <mode>): compares the include
# lines of every folder of dataset/ with the folders it links.
#
# <table> lists "<folder>:<link>,<link>,..." entries, one per folder. A
# folder's sources (*.h, *.cpp) may include headers of their own folder and
# of the folders it links, and nothing of views/, media/ or app/; each
# folder it links must be included from somewhere in it, so a link says what
# the code really uses. A folder not in the table is a failure too. Each
# fault is reported with <mode> (SEND_ERROR, which fails the configure
# step, or the script's run, after every fault is listed).
#
# As a script: cmake -DDATASET_DIR=<dir> -DTABLE=<entries separated by |>
#              -P check_layers.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

function(dorvem_check_layers dir table mode)
  set(known "")
  foreach(entry IN LISTS table)
    string(REGEX REPLACE ":.*" "" name "${entry}")
    list(APPEND known "${name}")
  endforeach()
  file(GLOB folders LIST_DIRECTORIES true RELATIVE ${dir} ${dir}/*)
  set(faults 0)
  foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${dir}/${folder} AND NOT folder IN_LIST known)
      message(${mode} "dataset/${folder} is not in the layer table")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
  foreach(entry IN LISTS table)
    string(REGEX REPLACE ":.*" "" name "${entry}")
    string(REGEX REPLACE "^[^:]*:" "" links "${entry}")
    string(REPLACE "," ";" links "${links}")
    file(GLOB files ${dir}/${name}/*.h ${dir}/${name}/*.cpp)
    set(used "")
    foreach(file IN LISTS files)
      file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
      foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*" "\\1" path "${line}")
        get_filename_component(short ${file} NAME)
        if(path MATCHES "^dataset/([^/]+)/")
          set(target "${CMAKE_MATCH_1}")
          if(target STREQUAL name)
            continue()
          endif()
          if(NOT target IN_LIST links)
            message(${mode} "dataset/${name}/${short} includes ${path}, but dataset/${name} does not link dataset/${target}")
            math(EXPR faults "${faults} + 1")
          endif()
          list(APPEND used "${target}")
        elseif(path MATCHES "^(views|media|app)/")
          message(${mode} "dataset/${name}/${short} includes ${path}, above the engine")
          math(EXPR faults "${faults} + 1")
        endif()
      endforeach()
    endforeach()
    foreach(link IN LISTS links)
      if(NOT link IN_LIST used)
        message(${mode} "dataset/${name} links dataset/${link} but includes nothing of it")
        math(EXPR faults "${faults} + 1")
      endif()
    endforeach()
  endforeach()
  set(DORVEM_LAYER_FAULTS ${faults} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DATASET_DIR)
  string(REPLACE "|" ";" table "${TABLE}")
  dorvem_check_layers("${DATASET_DIR}" "${table}" SEND_ERROR)
  if(DORVEM_LAYER_FAULTS GREATER 0)
    message(FATAL_ERROR "${DORVEM_LAYER_FAULTS} layering faults")
  endif()
  message(STATUS "layers: no faults")
endif()
