# Checks a help project before and after it is compiled:
#   cmake -DHELP_DIR=<folder with Dorvane.hhp> -DCHM=<compiled file> -P CheckHelp.cmake
# Every page the project lists exists; every page in the folder is listed;
# every page named by the contents file or linked from a page (href to a
# local .htm) is listed; the compiled file exists and is a compiled help file.
cmake_minimum_required(VERSION 3.20)

file(STRINGS "${HELP_DIR}/Dorvane.hhp" project_lines)
set(listed "")
set(in_files FALSE)
foreach(line IN LISTS project_lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^\\[")
    set(in_files FALSE)
    if(line STREQUAL "[FILES]")
      set(in_files TRUE)
    endif()
  elseif(in_files AND NOT line STREQUAL "")
    list(APPEND listed "${line}")
  endif()
endforeach()

set(problems "")
foreach(page IN LISTS listed)
  if(NOT EXISTS "${HELP_DIR}/${page}")
    list(APPEND problems "listed but missing: ${page}")
  endif()
endforeach()

file(GLOB pages RELATIVE "${HELP_DIR}" "${HELP_DIR}/*.htm")
foreach(page IN LISTS pages)
  if(NOT page IN_LIST listed)
    list(APPEND problems "not listed in Dorvane.hhp: ${page}")
  endif()
endforeach()

foreach(source IN LISTS pages ITEMS Dorvane.hhc)
  file(READ "${HELP_DIR}/${source}" text)
  string(REGEX MATCHALL "(href|value)=\"[^\"#:]+\\.htm" refs "${text}")
  foreach(ref IN LISTS refs)
    string(REGEX REPLACE "^(href|value)=\"" "" target "${ref}")
    if(NOT target IN_LIST listed)
      list(APPEND problems "${source} names ${target}, which the project does not list")
    endif()
  endforeach()
endforeach()

if(NOT EXISTS "${CHM}")
  list(APPEND problems "no compiled help file at ${CHM}")
else()
  file(READ "${CHM}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "49545346")  # "ITSF"
    list(APPEND problems "${CHM} is no compiled help file")
  endif()
endif()

if(problems)
  list(JOIN problems "\n  " report)
  message(FATAL_ERROR "help project problems:\n  ${report}")
endif()
list(LENGTH listed count)
message(STATUS "help: ${count} pages, all listed and linked")
