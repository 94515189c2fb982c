# Makes the delivered database "pelorvanide_template" on the test cluster afresh.
foreach(step "dropdb --if-exists pelorvanide_template" "createdb pelorvanide_template"
        "${MKDB} --server postgresql:///pelorvanide_template")
  separate_arguments(command UNIX_COMMAND "${step}")
  execute_process(COMMAND ${command} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${step} failed: is a cluster named by the PG* variables running (scripts/test.sh starts one)?")
  endif()
endforeach()
