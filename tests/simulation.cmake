# tests of simulation/ common to all laws; each law's own tests are in laws.cmake.
velkor_test(integrator_test SOURCES integrator_test.cpp LIBS integrator)
velkor_test(allocation_test SOURCES allocation_test.cpp LIBS driver_${VELKOR_FIRST_PROGRAM})
