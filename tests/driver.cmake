# tests of driver/: the fit driver, once per flavour from the same source.
velkor_test(fit_driver_test SOURCES fit_driver_test.cpp LIBS driver_c2)
velkor_test(fit_driver_b_test SOURCES fit_driver_test.cpp LIBS driver_c3)
