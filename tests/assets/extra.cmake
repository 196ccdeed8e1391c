# The content tests read the installed archives and run the baker.
add_dependencies(test_assets tarnwood_baked_content tarnwood-bake)
target_link_libraries(test_assets PRIVATE tarnwood_content_source)
target_compile_definitions(test_assets PRIVATE TARNWOOD_BAKER="$<TARGET_FILE:tarnwood-bake>")
# Under the sanitizers, LeakSanitizer's tracer crashes at the exit of this
# program after its tests have passed: it meets a dynamic-TLS range of the
# software GL driver that is not a real range ("Tracer caught signal 11"
# after "DTLS ... at 0xbf2-0x1800001cf4"). These tests still run with the
# address and undefined-behaviour checks, only without the exit-time leak
# check; the code they reach is leak-checked by the resources and scene tests.
if(TARNWOOD_SANITIZE)
  list(APPEND test_properties ENVIRONMENT_MODIFICATION
       "ASAN_OPTIONS=set:detect_leaks=0:abort_on_error=0:suppressions=${CMAKE_SOURCE_DIR}/tests/asan.supp")
endif()
