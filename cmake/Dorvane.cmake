# Build conventions shared by every program of the tree.
#
# - Everything is linked statically (-static), so a library loaded by its full
#   path needs no runtime DLL beside it.
# - Wide APIs only: UNICODE/_UNICODE are defined everywhere.
# - Headers are included from the top of the tree ("common/EventLog.h").

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
add_link_options(-static -static-libgcc -static-libstdc++)
include_directories(${PROJECT_SOURCE_DIR})

set(DV_FILE_VERSION_TEXT "1, 4, 3, 0")
set(DV_FILE_VERSION_NUM "1,4,3,0")

# dv_version_resource(target "File description" "OriginalName.ext")
# Gives the target the version block every program carries (FileVersion "1, 4, 3, 0").
function(dv_version_resource target description filename)
  set(DV_FILE_DESCRIPTION "${description}")
  set(DV_ORIGINAL_FILENAME "${filename}")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${out}" @ONLY)
  target_sources(${target} PRIVATE "${out}")
endfunction()

# GoogleTest from Debian's sources, built with the cross compiler.
macro(dv_add_googletest)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  if(NOT TARGET gtest)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
endmacro()

# dv_add_gtest(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [TIMEOUT s])
# One test program, run by CTest through wine (CMAKE_CROSSCOMPILING_EMULATOR).
# The test environment (prefix, printers, display) comes from scripts/test.sh.
function(dv_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  target_link_options(${name} PRIVATE -mconsole)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
