# Whole runs: every folder under tests/runs/cases (ordinary runs) and tests/runs/hostile
# (malformed and extreme inputs) is one run of a program, compared byte for byte
# (standard output, standard error, "out.dat", exit status).
foreach(group cases hostile)
  file(GLOB case_dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/runs/${group}/*)
  foreach(case_dir IN LISTS case_dirs)
    if(IS_DIRECTORY ${case_dir})
      get_filename_component(case ${case_dir} NAME)
      add_test(NAME run.${case}
               COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/runs/run_case.sh
                       $<TARGET_FILE_DIR:velkor> ${case_dir})
      set_tests_properties(run.${case} PROPERTIES TIMEOUT 300)
    endif()
  endforeach()
endforeach()
