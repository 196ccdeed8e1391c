# Checks every #include in the files of the layers (see Layers.cmake) against
# the layers each may use.
#
#   cmake -DSOURCE_DIR=<tree> -P cmake/CheckLayering.cmake
#
# An include is resolved as the compiler resolves it with the tree's root on
# the include path: "path" beside the including file first, then from the
# root; <path> from the root only. One that names neither a file nor a folder
# of the tree (<vector>, <GL/gl.h>, a generated header) is not ours and is
# skipped; one that names a folder of the tree counts even when the file is
# missing. Prints one line per include that breaks the rules,
#   <file>:<line>: #include "<path>" reaches <folder>; <layer> may include only <layers>
# and then fails. It fails as well when the tree holds no file of any layer,
# so that a wrong SOURCE_DIR cannot pass.

cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<tree> -P CheckLayering.cmake")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# The layer that the tree-relative path `rel` lies in: the longest layer
# folder that holds it; empty when none does.
function(layer_of rel out)
  set(found "")
  foreach(layer IN LISTS TARNWOOD_LAYERS)
    string(LENGTH "${layer}" length)
    string(LENGTH "${found}" found_length)
    if(rel MATCHES "^${layer}/" AND length GREATER found_length)
      set(found "${layer}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# The tree-relative path that `include` (written `form`: "quoted" or
# <angled>) in the file `dir`/... refers to; empty when it is not ours.
function(resolve_include dir include form out)
  set(path "")
  if(form STREQUAL "\"" AND EXISTS "${dir}/${include}")
    set(path "${dir}/${include}")
  elseif(EXISTS "${SOURCE_DIR}/${include}")
    set(path "${SOURCE_DIR}/${include}")
  else()
    string(REGEX MATCH "^[^/]+" first "${include}")
    if(NOT first STREQUAL ".." AND IS_DIRECTORY "${SOURCE_DIR}/${first}")
      set(path "${SOURCE_DIR}/${include}")
    endif()
  endif()
  if(path STREQUAL "")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  get_filename_component(path "${path}" ABSOLUTE)
  file(RELATIVE_PATH rel "${SOURCE_DIR}" "${path}")
  set(${out} "${rel}" PARENT_SCOPE)
endfunction()

set(files)
foreach(layer IN LISTS TARNWOOD_LAYERS)
  file(GLOB_RECURSE found "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.hpp"
       "${SOURCE_DIR}/${layer}/*.c" "${SOURCE_DIR}/${layer}/*.cc" "${SOURCE_DIR}/${layer}/*.cpp")
  list(APPEND files ${found})
endforeach()
list(REMOVE_DUPLICATES files)
list(SORT files)
list(LENGTH files file_count)
if(file_count EQUAL 0)
  string(REPLACE ";" ", " layers_text "${TARNWOOD_LAYERS}")
  message(FATAL_ERROR "no source file of any layer (${layers_text}) under ${SOURCE_DIR}")
endif()

set(include_line "(^|\n)[ \t]*#[ \t]*include[ \t]*(\"[^\"\n]*\"|<[^>\n]*>)")
set(checked 0)
set(broken 0)
foreach(file IN LISTS files)
  file(RELATIVE_PATH rel_file "${SOURCE_DIR}" "${file}")
  layer_of("${rel_file}" layer)
  string(MAKE_C_IDENTIFIER "${layer}" key)
  set(allowed ${layer} ${TARNWOOD_LAYER_USES_${key}})
  get_filename_component(dir "${file}" DIRECTORY)

  file(READ "${file}" rest)
  set(line 1)
  while(TRUE)
    string(REGEX MATCH "${include_line}" match "${rest}")
    if(match STREQUAL "")
      break()
    endif()
    set(written "${CMAKE_MATCH_2}")
    string(FIND "${rest}" "${match}" at)
    string(LENGTH "${match}" match_length)
    math(EXPR after "${at} + ${match_length}")
    string(SUBSTRING "${rest}" 0 ${after} before)
    string(REGEX MATCHALL "\n" newlines "${before}")
    list(LENGTH newlines newline_count)
    # The match ends on the directive's own line.
    math(EXPR line "${line} + ${newline_count}")
    string(SUBSTRING "${rest}" ${after} -1 rest)

    string(SUBSTRING "${written}" 0 1 form)
    string(LENGTH "${written}" written_length)
    math(EXPR inner_length "${written_length} - 2")
    string(SUBSTRING "${written}" 1 ${inner_length} include)
    resolve_include("${dir}" "${include}" "${form}" target)
    if(target STREQUAL "")
      continue()
    endif()
    math(EXPR checked "${checked} + 1")

    if(target MATCHES "^\\.\\./")
      set(reached "outside the source tree")
    else()
      layer_of("${target}" target_layer)
      if(target_layer STREQUAL "")
        string(REGEX MATCH "^[^/]+" reached "${target}")
      else()
        set(reached "${target_layer}")
      endif()
      if(NOT target_layer STREQUAL "" AND target_layer IN_LIST allowed)
        continue()
      endif()
    endif()
    string(REPLACE ";" ", " allowed_text "${allowed}")
    message(NOTICE "${rel_file}:${line}: #include ${written} reaches ${reached}; "
                   "${layer} may include only ${allowed_text}")
    math(EXPR broken "${broken} + 1")
  endwhile()
endforeach()

if(broken GREATER 0)
  message(FATAL_ERROR "${broken} of ${checked} includes in ${file_count} files break the layering")
endif()
message(STATUS "Layering: ${checked} includes in ${file_count} files keep to the layers")
