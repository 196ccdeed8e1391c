# Runs the layering check on the fixture trees beside this file and holds it
# to what it must report: every include of a wrong layer in wrong/, with its
# line, and nothing in clean/, whose includes take every allowed form.
#
#   cmake -DCHECKER=<CheckLayering.cmake> -P CheckLayeringTest.cmake

set(fixtures ${CMAKE_CURRENT_LIST_DIR}/fixtures)
set(failures 0)

# Runs the check on `tree`; sets `result` to its exit status, `reports` to
# the "<file>:<line>: #include ... reaches <folder>" part of each complaint,
# and `output` to all it printed.
function(run_check tree)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CHECKER}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX MATCHALL "[^\n]*: #include [^\n]* reaches [^;\n]*" found "${err}")
  list(SORT found)
  set(result "${status}" PARENT_SCOPE)
  set(reports "${found}" PARENT_SCOPE)
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()

function(fail text)
  message(NOTICE "FAILED: ${text}\n--- the check printed:\n${output}---")
  math(EXPR count "${failures} + 1")
  set(failures ${count} PARENT_SCOPE)
endfunction()

# Every allowed form: beside the file, from the root, angled, climbing back
# into the own folder, a missing header of the own folder, a nested layer
# using the layer around it, and an include named only in a comment.
run_check(${fixtures}/clean)
if(NOT result EQUAL 0 OR reports)
  fail("clean/ must pass without a complaint")
endif()

set(expected
  "app/Display.cpp:2: #include \"app/dialog/Dialog.h\" reaches app/dialog"
  "content/Clock.cpp:2: #include \"assets/Canvas.h\" reaches assets"
  "content/Clock.cpp:3: #include \"app/Missing.h\" reaches app"
  "content/Scene.h:3: #include \"app/Display.h\" reaches app"
  "platform/Paths.cpp:2: #include \"proctex/Noise.h\" reaches proctex"
  "resources/Mesh.cpp:2: #include <content/Scene.h> reaches content"
  "scene/Node.cpp:3: #include \"../app/Display.h\" reaches app"
  "scene/Node.cpp:4: #include \"../../Outside.h\" reaches outside the source tree")
run_check(${fixtures}/wrong)
if(result EQUAL 0)
  fail("wrong/ must fail")
endif()
if(NOT reports STREQUAL expected)
  string(REPLACE ";" "\n  " want "${expected}")
  string(REPLACE ";" "\n  " got "${reports}")
  fail("wrong/ must report exactly\n  ${want}\nbut reported\n  ${got}")
endif()

# A tree without a single file of a layer (a wrong SOURCE_DIR) must not pass.
run_check(${fixtures}/no-such-tree)
if(result EQUAL 0)
  fail("a tree without source files must fail")
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layering check cases failed")
endif()
