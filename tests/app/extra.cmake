add_dependencies(test_app tarnwood-soak)
