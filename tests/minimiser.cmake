# tests of minimiser/
velkor_test(line_search_test SOURCES line_search_test.cpp LIBS minimiser)
velkor_test(direction_set_test SOURCES direction_set_test.cpp LIBS minimiser)
