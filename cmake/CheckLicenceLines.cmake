# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# Fails when a source file of the project does not open with its licence
# line (after a "#!" line for scripts), so that a file copied out of the tree
# still says under what terms it may be used. Run with -DSOURCE_DIR=<the
# source tree>.
set(licence "SPDX-License-Identifier: GPL-3.0-or-later")
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" LIST_DIRECTORIES false
     "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.in" "${SOURCE_DIR}/*.cmake"
     "${SOURCE_DIR}/*CMakeLists.txt" "${SOURCE_DIR}/*.py" "${SOURCE_DIR}/*.sh"
     "${SOURCE_DIR}/scripts/*" "${SOURCE_DIR}/.ci/*")
set(missing "")
foreach(file IN LISTS files)
  if(file MATCHES "^build|/build|^\\.git/|seeds/|corpus/.*[^y]$|\\.supp$")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${file}" head LIMIT_COUNT 2)
  list(JOIN head "\n" head)
  if(NOT head MATCHES "${licence}")
    list(APPEND missing "${file}")
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "Source files without the licence line \"${licence}\":\n  ${missing}")
endif()
