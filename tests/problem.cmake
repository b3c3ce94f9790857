# tests of problem/
velkor_test(plot_file_test SOURCES plot_file_test.cpp LIBS problem_c2)
# The parameter reader's totals and constant count depend on the flavour: test both.
foreach(k IN LISTS VELKOR_FLAVOURS)
  velkor_test(parameter_file_test_c${k} SOURCES parameter_file_test.cpp LIBS problem_c${k})
endforeach()
