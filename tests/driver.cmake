# tests of driver/: the fit driver, once per program from the same source.
foreach(program IN LISTS VELKOR_PROGRAMS)
  velkor_test(fit_driver_test_${program} SOURCES fit_driver_test.cpp LIBS driver_${program}
              PROGRAM ${program})
endforeach()
