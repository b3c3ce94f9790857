# Lab files (formats/) and velkor-import (import/): units, readers, the writer's round trip,
# the import's decisions; whole runs of the program with velkor on what it writes; speed.
velkor_test(formats_test SOURCES formats/enzymeml_test.cpp formats/table_test.cpp
                                 formats/import_test.cpp
                         LIBS import_core)
target_compile_definitions(formats_test PRIVATE VELKOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_test(NAME formats.import-runs
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/formats/import_runs.sh $<TARGET_FILE_DIR:velkor-import>)
if(NOT VELKOR_SANITIZE)
  add_test(NAME formats.import-speed
           COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/formats/import_speed.py $<TARGET_FILE:velkor-import>)
endif()
