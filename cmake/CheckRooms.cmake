# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# Fails when a source file includes a header of a room it may not reach.
# Rooms may include their own headers and those of the rooms listed for
# them here, which are below them; `cli` reaches every room but the windows,
# `app` every room. Run with -DSOURCE_DIR=<the source tree>.
set(reaches_core "")
set(reaches_sound core)
set(reaches_controlfile core sound)
set(reaches_settings core)
set(reaches_editor core sound)
set(reaches_voices core sound)
set(reaches_tools core sound)
set(reaches_card core sound controlfile)
set(reaches_print core)
set(reaches_gui core sound controlfile settings editor voices tools card print)
set(reaches_cli core sound controlfile settings editor voices tools card print)
set(reaches_app core sound controlfile settings editor voices tools card print gui)

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp"
     "${SOURCE_DIR}/cli/*.h" "${SOURCE_DIR}/cli/*.cpp"
     "${SOURCE_DIR}/app/*.h" "${SOURCE_DIR}/app/*.cpp")
set(problems "")
foreach(file IN LISTS files)
  if(file MATCHES "^src/([a-z_]+)/")
    set(room "${CMAKE_MATCH_1}")
  elseif(file MATCHES "^(cli|app)/")
    set(room "${CMAKE_MATCH_1}")
  else()
    continue()
  endif()
  if(NOT DEFINED reaches_${room})
    list(APPEND problems "${file}: room '${room}' has no place in cmake/CheckRooms.cmake")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
  foreach(line IN LISTS includes)
    string(REGEX MATCH "\"([a-z_]+)/" _ "${line}")
    set(target "${CMAKE_MATCH_1}")
    if(NOT target STREQUAL room AND NOT target IN_LIST reaches_${room})
      list(APPEND problems "${file}: ${room} may not include ${target}/ (${line})")
    endif()
  endforeach()
endforeach()
if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Includes against the order of the rooms:\n  ${text}")
endif()
