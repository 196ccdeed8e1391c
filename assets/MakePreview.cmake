# Makes the preview picture: renders the scene from the baked archives with
# tarnwood-snapshot and shrinks it to 152 x 112. SDL's offscreen video driver
# needs no X display; when it cannot render, an X display (DISPLAY) is tried.
# When neither gives a picture, the committed picture is copied instead and
# one line says why: a build never fails for want of a display.
#
#   cmake -DSNAPSHOT=<tarnwood-snapshot> -DOUTPUT=<preview.ppk>
#         -DFALLBACK=<preview.bmp> -DWORK=<scratch folder> -P MakePreview.cmake

foreach(name SNAPSHOT OUTPUT FALLBACK WORK)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "MakePreview.cmake: ${name} is not set")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK})
set(rendered ${WORK}/preview-render.bmp)
# 54 header bytes and 112 rows of 152 pixels of 3 bytes (456, no padding).
set(expected_size 51126)
# The scene without the overlays, the tree held at one angle and height, at
# a fixed moment, so that the same archives give the same picture. It is
# rendered at four times the picture's size, so every pixel averages 16
# samples; three seconds let the candle flames build up. A configuration
# folder that does not exist makes the program take the archives beside
# itself, never those of an installed copy. Leak reports of the GL driver in
# a sanitizer build must not count as a failed render.
set(common_env XDG_CONFIG_DIRS=${WORK}/no-config ASAN_OPTIONS=detect_leaks=0)
set(common_args --preview ${rendered} --world --turn 30 --bob 0 --seed 5 --ms 3000
  --time "2026-06-15 12:00:00" --size 608x448)

set(attempts offscreen)
if(DEFINED ENV{DISPLAY} AND NOT "$ENV{DISPLAY}" STREQUAL "")
  list(APPEND attempts x11)
endif()

set(reason "")
foreach(driver IN LISTS attempts)
  file(REMOVE ${rendered})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env ${common_env} SDL_VIDEODRIVER=${driver} ${SNAPSHOT} ${common_args}
    RESULT_VARIABLE result
    OUTPUT_QUIET
    ERROR_VARIABLE errors
    TIMEOUT 300)
  set(size_ok FALSE)
  if(EXISTS ${rendered})
    file(SIZE ${rendered} rendered_size)
    if(rendered_size EQUAL expected_size)
      set(size_ok TRUE)
    endif()
  endif()
  if(result EQUAL 0 AND size_ok)
    file(COPY_FILE ${rendered} ${OUTPUT})
    file(REMOVE ${rendered})
    return()
  endif()
  string(REGEX REPLACE "\n.*" "" first_line "${errors}")
  if(first_line STREQUAL "")
    set(first_line "exit ${result}")
  endif()
  string(APPEND reason "${driver}: ${first_line}; ")
endforeach()

string(REGEX REPLACE "; $" "" reason "${reason}")
message("Preview picture: no render (${reason}); using the committed picture")
file(COPY_FILE ${FALLBACK} ${OUTPUT})
