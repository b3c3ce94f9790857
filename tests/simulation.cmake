# tests of simulation/: the integrator, both rate laws and the objective.
velkor_test(integrator_test SOURCES integrator_test.cpp LIBS integrator)
velkor_test(model_test SOURCES model_test.cpp LIBS simulation_c2)
velkor_test(model_b_test SOURCES model_b_test.cpp LIBS simulation_c3)
velkor_test(objective_test SOURCES objective_test.cpp LIBS simulation_c2)
velkor_test(objective_b_test SOURCES objective_b_test.cpp LIBS simulation_c3)
velkor_test(allocation_test SOURCES allocation_test.cpp LIBS driver_c2)
