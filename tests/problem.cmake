# tests of problem/
velkor_test(plot_file_test SOURCES plot_file_test.cpp LIBS problem_${VELKOR_FIRST_PROGRAM})
# The parameter reader's totals and constant count depend on the program: test each.
foreach(program IN LISTS VELKOR_PROGRAMS)
  velkor_test(parameter_file_test_${program} SOURCES parameter_file_test.cpp
              LIBS problem_${program} PROGRAM ${program})
endforeach()
