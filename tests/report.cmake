velkor_test(report_analysis_test SOURCES report_analysis_test.cpp LIBS report_velkor)
# Whole runs of the reports against the fit programs.
add_test(NAME run.reports COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/report_runs/check.sh
                                   $<TARGET_FILE_DIR:velkor-report>)
set_tests_properties(run.reports PROPERTIES TIMEOUT 300)
velkor_test(report_input_checks_test SOURCES report_input_checks_test.cpp LIBS report_velkor)
velkor_test(report_figure_test SOURCES report_figure_test.cpp LIBS report_velkor)
