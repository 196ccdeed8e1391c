# The host-mode tests run the configuration program as well as Tarnwood.
add_dependencies(test_host config)
