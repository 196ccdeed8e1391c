# The run-mode and host tests run the soak program and the configuration
# program as well as Tarnwood.
add_dependencies(test_app tarnwood-soak config)
target_compile_definitions(test_app PRIVATE TARNWOOD_CMAKE_COMMAND="${CMAKE_COMMAND}")
