# Whole runs: every folder under tests/runs/cases (ordinary runs) and tests/runs/hostile
# (malformed and extreme inputs) is one run of the program its file `program` names,
# compared byte for byte (standard output, standard error, "out.dat", exit status).
foreach(group cases hostile)
  file(GLOB case_dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/runs/${group}/*)
  foreach(case_dir IN LISTS case_dirs)
    if(IS_DIRECTORY ${case_dir})
      get_filename_component(case ${case_dir} NAME)
      file(STRINGS ${case_dir}/program case_program LIMIT_COUNT 1)
      string(STRIP "${case_program}" case_program)
      if(NOT TARGET ${case_program})
        message(FATAL_ERROR "whole run ${case} names ${case_program}, which the tree does not build")
      endif()
      add_test(NAME run.${case}
               COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/runs/run_case.sh
                       $<TARGET_FILE_DIR:${case_program}> ${case_dir})
      set_tests_properties(run.${case} PROPERTIES TIMEOUT 300)
    endif()
  endforeach()
endforeach()

# The expected files of the cases above are written by the reference model: regenerate them
# into a temporary folder and compare, so that none is edited by hand or left stale.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME runs.cases-match-reference
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/runs/check_cases.sh ${Python3_EXECUTABLE})
set_tests_properties(runs.cases-match-reference PROPERTIES TIMEOUT 120)
