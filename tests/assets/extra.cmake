# The content tests read the installed archives and run the baker.
add_dependencies(test_assets tarnwood_baked_content tarnwood-bake)
target_link_libraries(test_assets PRIVATE tarnwood_content_source)
target_compile_definitions(test_assets PRIVATE TARNWOOD_BAKER="$<TARGET_FILE:tarnwood-bake>")
