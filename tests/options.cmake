# tests of options/
velkor_test(option_parser_test SOURCES option_parser_test.cpp LIBS options)
# The command-line step with the real option parser and parameter reader.
velkor_test(command_line_test SOURCES command_line_test.cpp LIBS driver_${VELKOR_FIRST_PROGRAM})
