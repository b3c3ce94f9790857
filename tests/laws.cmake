# Each law's own tests, tests/laws/LAW/*_test.cpp, built for every program of the table
# that uses that law, with the statistics of that program (which hold its simulation).
foreach(program IN LISTS VELKOR_PROGRAMS)
  set(law ${VELKOR_LAW_${program}})
  file(GLOB law_tests ${CMAKE_CURRENT_SOURCE_DIR}/laws/${law}/*_test.cpp)
  foreach(source IN LISTS law_tests)
    get_filename_component(test ${source} NAME_WE)
    velkor_test(${test}_${program} SOURCES ${source} LIBS statistics_${program}
                PROGRAM ${program})
  endforeach()
endforeach()

# Evaluations made together against the same made one by one, for every program's law.
foreach(program IN LISTS VELKOR_PROGRAMS)
  velkor_test(batched_evaluation_test_${program} SOURCES batched_evaluation_test.cpp
              LIBS statistics_${program} PROGRAM ${program})
endforeach()
