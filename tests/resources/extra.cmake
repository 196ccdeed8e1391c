# The tool tests run the installed archive tool.
add_dependencies(test_resources tarnwood-pak)
