add_dependencies(test_app tarnwood-soak)
target_compile_definitions(test_app PRIVATE TARNWOOD_CMAKE_COMMAND="${CMAKE_COMMAND}")
