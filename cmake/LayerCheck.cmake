# Fails when a source of one folder includes a header of a folder it may not
# depend on: the layers hold by the build, not by discipline.
#   cmake -DFOLDER=<dir> -DALLOWED=<a,b,c> -DSTAMP=<file> -P LayerCheck.cmake
# ALLOWED names the folders under src/ this one may include from (itself among
# them); the generated "darvelle/version.h" is allowed everywhere.
cmake_minimum_required(VERSION 3.20)
string(REPLACE "," ";" allowed "${ALLOWED}")
list(APPEND allowed darvelle)
file(GLOB files "${FOLDER}/*.cpp" "${FOLDER}/*.h")
set(offences "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z_]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z_]+)/.*$" "\\1" layer "${line}")
    if(NOT layer IN_LIST allowed)
      string(APPEND offences "\n  ${file}: ${line}")
    endif()
  endforeach()
endforeach()
if(offences)
  get_filename_component(name "${FOLDER}" NAME)
  message(FATAL_ERROR "src/${name} may include only from ${ALLOWED}; these run up a layer:${offences}")
endif()
file(TOUCH "${STAMP}")
