# Whole runs: every folder under tests/runs/cases is one run of a program, compared
# byte for byte (standard output, standard error, "out.dat", exit status).
file(GLOB VELKOR_RUN_CASES LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/runs/cases/*)
foreach(case_dir IN LISTS VELKOR_RUN_CASES)
  if(IS_DIRECTORY ${case_dir})
    get_filename_component(case ${case_dir} NAME)
    add_test(NAME run.${case}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/runs/run_case.sh
                     $<TARGET_FILE_DIR:velkor> ${case_dir})
  endif()
endforeach()
