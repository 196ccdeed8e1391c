# The install tests run `cmake --install` on this build tree, so everything
# that is installed must be built first.
add_dependencies(test_install config tarnwood-pak tarnwood_baked_content tarnwood_man_pages)
target_compile_definitions(test_install PRIVATE
  TARNWOOD_BINARY_DIR="${CMAKE_BINARY_DIR}"
  TARNWOOD_CMAKE_COMMAND="${CMAKE_COMMAND}")
