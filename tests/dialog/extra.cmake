# The dialog tests drive the installed config program.
add_dependencies(test_dialog config)
if(TARGET tarnwood_dialog)
  target_compile_definitions(test_dialog PRIVATE TARNWOOD_DIALOG_BUILT=1)
endif()
