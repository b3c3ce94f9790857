# Whole runs of velkor-compare: its ranking, table and verdict recomputed independently.
add_test(NAME run.compare COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/compare_runs/check.sh
                                  $<TARGET_FILE_DIR:velkor-compare>)
set_tests_properties(run.compare PROPERTIES TIMEOUT 300)
