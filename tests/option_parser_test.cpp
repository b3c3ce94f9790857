#include "options/option_parser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/argv.h"

namespace {

using testing_support::Argv;

// The run's option table: help/h flag, file/f, admissible_error/e, iterations/t values, v flag.
void register_run_options(OptionParser& parser) {
    parser.add_flag("help", 'h');
    parser.add_value_option("file", 'f');
    parser.add_value_option("admissible_error", 'e');
    parser.add_value_option("iterations", 't');
    parser.add_short_flag('v');
}

using Value = std::optional<std::string>;
const Value NONE = std::nullopt;

Value value_of(const char* text) {
    return text == nullptr ? NONE : Value(text);
}

struct CommandLineCase {
    std::vector<std::string> words;
    bool help;
    bool verbose;
    Value file;
    Value error;
    Value iterations;
    std::vector<std::string> surplus;
};

std::string shown(const std::vector<std::string>& words) {
    std::string line = "words:";
    for (const std::string& word : words)
        line += " [" + word + "]";
    return line;
}

const CommandLineCase COMMAND_LINES[] = {
    // words                                  help   v      file        error   iterations surplus
    {{}, false, false, NONE, NONE, NONE, {}},
    {{"x"}, false, false, NONE, NONE, NONE, {"x"}},
    {{"-h"}, true, false, NONE, NONE, NONE, {}},
    {{"--help"}, true, false, NONE, NONE, NONE, {}},
    {{"--help", "x"}, true, false, NONE, NONE, NONE, {"x"}},
    {{"--help=no"}, true, false, NONE, NONE, NONE, {}},
    {{"--HELP", "--Help"}, false, false, NONE, NONE, NONE, {}},
    {{"--file=a=b"}, false, false, "a=b", NONE, NONE, {}},
    {{"--file="}, false, false, "", NONE, NONE, {}},
    {{"--=x"}, false, false, NONE, NONE, NONE, {}},
    {{"--file=x", "y"}, false, false, "x", NONE, NONE, {"y"}},
    {{"--file", "params.txt"}, false, false, "params.txt", NONE, NONE, {}},
    {{"--file=params.txt"}, false, false, "params.txt", NONE, NONE, {}},
    {{"-fparams.txt"}, false, false, "params.txt", NONE, NONE, {}},
    {{"-f=params.txt"}, false, false, "params.txt", NONE, NONE, {}},
    {{"-f", "params.txt"}, false, false, "params.txt", NONE, NONE, {}},
    {{"--fil", "x"}, false, false, NONE, NONE, NONE, {"x"}},
    {{"-hv"}, true, true, NONE, NONE, NONE, {}},
    {{"-hfx"}, true, false, "x", NONE, NONE, {}},
    {{"-vf", "params.txt"}, false, true, "params.txt", NONE, NONE, {}},
    {{"-f= x"}, false, false, "x", NONE, NONE, {}},
    {{"-f = =x"}, false, false, "x", NONE, NONE, {}},
    {{"-f==x"}, false, false, "x", NONE, NONE, {}},
    {{"-f="}, false, false, "", NONE, NONE, {}},
    {{"-f", ""}, false, false, "", NONE, NONE, {}},
    {{"-f", "x", "y"}, false, false, "x", NONE, NONE, {"y"}},
    {{"-fv"}, false, false, "v", NONE, NONE, {}},
    {{"-h=x"}, true, false, NONE, NONE, NONE, {}},
    {{"-q", "x"}, false, false, NONE, NONE, NONE, {"x"}},
    {{"-x", "100"}, false, false, NONE, NONE, NONE, {"100"}},
    {{"--maxiterations", "5"}, false, false, NONE, NONE, NONE, {"5"}},
    {{"--maxiterations", "100"}, false, false, NONE, NONE, NONE, {"100"}},
    {{"-t", "5", "--iterations", "7"}, false, false, NONE, NONE, "7", {}},
    {{"-t", "100"}, false, false, NONE, NONE, "100", {}},
    {{"--iterations", "100"}, false, false, NONE, NONE, "100", {}},
    {{"-e", "0.01"}, false, false, NONE, "0.01", NONE, {}},
    {{"--admissible_error=0.01"}, false, false, NONE, "0.01", NONE, {}},
    {{"-e", "-5"}, false, false, NONE, "-5", NONE, {}},
    {{"-v"}, false, true, NONE, NONE, NONE, {}},
    {{"--v"}, false, false, NONE, NONE, NONE, {}},
    {{"-f", "-h"}, false, false, "-h", NONE, NONE, {}},
    {{"--file", "-h"}, false, false, "-h", NONE, NONE, {}},
    {{"--file", "--help"}, false, false, "--help", NONE, NONE, {}},
    {{"-"}, false, false, NONE, NONE, NONE, {}},
    {{"--"}, false, false, NONE, NONE, NONE, {}},
    {{"-", "--", "x"}, false, false, NONE, NONE, NONE, {"x"}},
    {{"-5"}, false, false, NONE, NONE, NONE, {}},
    {{"-file", "x"}, false, false, "ile", NONE, NONE, {"x"}},
    {{"-f"}, false, false, NONE, NONE, NONE, {}},
    {{"--file"}, false, false, NONE, NONE, NONE, {}},
    {{"--file", "a", "--file"}, false, false, "a", NONE, NONE, {}},
    {{"-f", "a.txt", "-f", "b.txt"}, false, false, "b.txt", NONE, NONE, {}},
    {{"params.txt", "-f", "other.txt", "extra"},
     false,
     false,
     "other.txt",
     NONE,
     NONE,
     {"params.txt", "extra"}},
    {{"", "x", "-h", "y"}, true, false, NONE, NONE, NONE, {"", "x", "y"}},
};

TEST(OptionParserCommandLine, FlagsValuesAndSurplusWords) {
    for (const CommandLineCase& c : COMMAND_LINES) {
        SCOPED_TRACE(shown(c.words));
        Argv args(c.words);
        OptionParser parser(10, 10);
        register_run_options(parser);
        parser.parse_command_line(args.argc(), args.argv());

        EXPECT_EQ(parser.arguments_given(), !c.words.empty());
        EXPECT_EQ(parser.flag_is_set("help"), c.help);
        EXPECT_EQ(parser.flag_is_set('h'), c.help);
        EXPECT_EQ(parser.flag_is_set('v'), c.verbose);
        EXPECT_EQ(value_of(parser.option_value('f')), c.file);
        EXPECT_EQ(value_of(parser.option_value("file")), c.file);
        EXPECT_EQ(value_of(parser.option_value('e')), c.error);
        EXPECT_EQ(value_of(parser.option_value("admissible_error")), c.error);
        EXPECT_EQ(value_of(parser.option_value('t')), c.iterations);
        EXPECT_EQ(value_of(parser.option_value("iterations")), c.iterations);

        ASSERT_EQ(parser.extra_argument_count(), static_cast<int>(c.surplus.size()));
        for (int i = 0; i < parser.extra_argument_count(); ++i)
            EXPECT_EQ(value_of(parser.extra_argument(i)), c.surplus[i]) << "surplus word " << i;
        EXPECT_EQ(parser.extra_argument(parser.extra_argument_count()), nullptr);
        EXPECT_EQ(parser.extra_argument(-1), nullptr);
    }
}

TEST(OptionParserCommandLine, NamesThatAreNotOptionsAnswerNothing) {
    Argv args({"-hv", "--file=x"});
    OptionParser parser(10, 10);
    register_run_options(parser);
    parser.parse_command_line(args.argc(), args.argv());

    EXPECT_FALSE(parser.flag_is_set("v"));  // v has no long name
    EXPECT_FALSE(parser.flag_is_set("maxiterations"));
    EXPECT_FALSE(parser.flag_is_set('x'));
    EXPECT_EQ(parser.option_value('x'), nullptr);
    EXPECT_EQ(parser.option_value("fil"), nullptr);
    EXPECT_EQ(parser.option_value(""), nullptr);
}

TEST(OptionParserCommandLine, ValuesAreCopiesAndTheWordsStayUntouched) {
    Argv args({"--file=a=b", "-fv", "-t", "7"});
    OptionParser parser(10, 10);
    register_run_options(parser);
    parser.parse_command_line(args.argc(), args.argv());
    char** argv = args.argv();

    EXPECT_STREQ(argv[1], "--file=a=b");
    EXPECT_STREQ(argv[2], "-fv");
    argv[2][2] = 'X';
    argv[4][0] = '9';
    EXPECT_STREQ(parser.option_value('f'), "v");
    EXPECT_STREQ(parser.option_value('t'), "7");
}

TEST(OptionParserCommandLine, FirstMatchingEntryDecides) {
    Argv args({"--dup", "x", "-d", "y"});
    OptionParser parser(10, 10);
    parser.add_flag("dup", 'd');
    parser.add_value_option("dup", 'd');
    parser.parse_command_line(args.argc(), args.argv());

    EXPECT_TRUE(parser.flag_is_set("dup"));
    EXPECT_STREQ(parser.option_value("dup"), "true");
    EXPECT_STREQ(parser.option_value('d'), "true");
    ASSERT_EQ(parser.extra_argument_count(), 2);
    EXPECT_STREQ(parser.extra_argument(0), "x");
    EXPECT_STREQ(parser.extra_argument(1), "y");
}

TEST(OptionParserCommandLine, AValueOfTrueReadsAsASetFlag) {
    Argv args({"-f", "true", "-e", "True"});
    OptionParser parser(10, 10);
    register_run_options(parser);
    parser.parse_command_line(args.argc(), args.argv());

    EXPECT_TRUE(parser.flag_is_set('f'));
    EXPECT_TRUE(parser.flag_is_set("file"));
    EXPECT_FALSE(parser.flag_is_set('e'));
}

TEST(OptionParserCommandLine, WithoutRegistrationsNothingIsProcessed) {
    Argv args({"x", "-h", "--file=y"});
    OptionParser parser(10, 10);
    parser.parse_command_line(args.argc(), args.argv());

    EXPECT_TRUE(parser.arguments_given());
    EXPECT_EQ(parser.extra_argument_count(), 0);
    EXPECT_EQ(parser.extra_argument(0), nullptr);
    EXPECT_FALSE(parser.flag_is_set('h'));
    EXPECT_FALSE(parser.flag_is_set("help"));
    EXPECT_EQ(parser.option_value("file"), nullptr);
    EXPECT_EQ(parser.option_value('f'), nullptr);
}

TEST(OptionParserCommandLine, OptionsRegisteredAfterProcessingHaveNoValue) {
    Argv args({"-h", "--late=x", "-l", "y"});
    OptionParser parser(10, 10);
    parser.add_flag("help", 'h');
    parser.parse_command_line(args.argc(), args.argv());
    parser.add_value_option("late", 'l');

    EXPECT_TRUE(parser.flag_is_set('h'));
    EXPECT_EQ(parser.option_value("late"), nullptr);
    EXPECT_EQ(parser.option_value('l'), nullptr);
    EXPECT_FALSE(parser.flag_is_set('l'));
}

// The room for surplus words is taken once, from the first parse that has a count to give;
// a later parse of the same parser keeps only as many as fit. A count below 1 gives nothing,
// so the next parse still sizes the room: 5 for the second command line, 4 surplus words.
TEST(OptionParserCommandLine, SecondParseKeepsTheSurplusRoomOfTheFirst) {
    struct RoomCase {
        int firstArgc;
        std::vector<std::string> kept;
    };
    const RoomCase cases[] = {
        {-1, {"a", "b", "c", "d"}},
        {0, {"a", "b", "c", "d"}},
        {1, {"a"}},            // the program name alone: room for one
        {3, {"a", "b", "c"}},  // room 3; the second parse counts afresh
    };
    for (const RoomCase& c : cases) {
        SCOPED_TRACE("first argc " + std::to_string(c.firstArgc));
        Argv first({"x", "y"});  // smaller counts read a prefix of it
        Argv second({"a", "b", "c", "d"});
        OptionParser parser(10, 10);
        register_run_options(parser);
        parser.parse_command_line(c.firstArgc, first.argv());
        parser.parse_command_line(second.argc(), second.argv());

        ASSERT_EQ(parser.extra_argument_count(), static_cast<int>(c.kept.size()));
        for (int i = 0; i < parser.extra_argument_count(); ++i)
            EXPECT_EQ(value_of(parser.extra_argument(i)), c.kept[i]) << "surplus word " << i;
    }
}

TEST(OptionParserRegistration, TwoNamesShareOneSlot) {
    const std::vector<std::vector<std::string>> spellings = {{"-h"}, {"--help"}, {"--help=x"}};
    for (const auto& words : spellings) {
        SCOPED_TRACE(shown(words));
        Argv args(words);
        OptionParser parser(10, 10);
        parser.add_flag("help", 'h');
        parser.parse_command_line(args.argc(), args.argv());
        EXPECT_TRUE(parser.flag_is_set('h'));
        EXPECT_TRUE(parser.flag_is_set("help"));
    }
    Argv args({"-fa", "--iterations=5"});
    OptionParser parser(10, 10);
    register_run_options(parser);
    parser.parse_command_line(args.argc(), args.argv());
    EXPECT_STREQ(parser.option_value("file"), "a");
    EXPECT_STREQ(parser.option_value('t'), "5");
}

TEST(OptionParserRegistration, RunTableTakesSlotsInOrderAndVGetsSlotFour) {
    OptionParser parser(10, 10);
    register_run_options(parser);

    EXPECT_EQ(parser.slot_count(), 5);
    ASSERT_EQ(parser.long_count(), 4);
    ASSERT_EQ(parser.short_count(), 5);
    const char expectedShort[] = {'h', 'f', 'e', 't', 'v'};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(parser.short_entry(i).character, expectedShort[i]);
        EXPECT_EQ(parser.short_entry(i).slot, i);
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(parser.long_entry(i).slot, i);
    EXPECT_STREQ(parser.long_entry(0).name, "help");
    EXPECT_STREQ(parser.long_entry(3).name, "iterations");
    EXPECT_EQ(parser.short_entry(4).kind, OptionParser::OptionKind::Flag);
    EXPECT_EQ(parser.short_entry(1).kind, OptionParser::OptionKind::Value);
    EXPECT_EQ(parser.long_room(), 10);
    EXPECT_EQ(parser.short_room(), 10);
}

TEST(OptionParserRegistration, UsageTableDoublesAndKeepsEveryLine) {
    const char* lines[12] = {"1", "", "3", "4", "5", "6", "7", "8", "9", "10", "11", ""};
    const int roomAfter[12] = {3, 3, 3, 6, 6, 6, 12, 12, 12, 12, 12, 12};
    OptionParser parser(10, 10);
    EXPECT_EQ(parser.usage_room(), 3);
    for (int i = 0; i < 12; ++i) {
        parser.add_usage_line(lines[i]);
        EXPECT_EQ(parser.usage_room(), roomAfter[i]) << "after line " << i + 1;
    }
    ASSERT_EQ(parser.usage_count(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(parser.usage_line(i), lines[i]) << "line " << i + 1;
}

TEST(OptionParserRegistration, EleventhNameGrowsTheTablesAndKeepsTheFirstTen) {
    const char* names[11] = {"o0", "o1", "o2", "o3", "o4", "o5", "o6", "o7", "o8", "o9", "o10"};
    const char shorts[11] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k'};
    OptionParser parser(10, 10);
    for (int i = 0; i < 10; ++i) {
        if (i % 2 == 0)
            parser.add_value_option(names[i], shorts[i]);
        else
            parser.add_flag(names[i], shorts[i]);
    }
    EXPECT_EQ(parser.long_room(), 10);
    EXPECT_EQ(parser.short_room(), 10);
    parser.add_value_option(names[10], shorts[10]);
    EXPECT_EQ(parser.long_room(), 20);
    EXPECT_EQ(parser.short_room(), 20);

    ASSERT_EQ(parser.long_count(), 11);
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(names[i]);
        const auto kind =
            i % 2 == 0 ? OptionParser::OptionKind::Value : OptionParser::OptionKind::Flag;
        EXPECT_EQ(parser.long_entry(i).name, names[i]);  // borrowed, not copied
        EXPECT_EQ(parser.long_entry(i).kind, kind);
        EXPECT_EQ(parser.long_entry(i).slot, i);
        EXPECT_EQ(parser.short_entry(i).character, shorts[i]);
        EXPECT_EQ(parser.short_entry(i).kind, kind);
        EXPECT_EQ(parser.short_entry(i).slot, i);
    }

    Argv args({"--o0", "x", "-b", "--o10=z", "-ky"});
    parser.parse_command_line(args.argc(), args.argv());
    EXPECT_STREQ(parser.option_value('a'), "x");
    EXPECT_TRUE(parser.flag_is_set("o1"));
    EXPECT_STREQ(parser.option_value("o10"), "y");
}

TEST(OptionParserRegistration, EmptyRoomsStillTakeOptions) {
    OptionParser parser(0, 0);
    parser.add_flag("help", 'h');
    parser.add_value_option("file", 'f');
    parser.add_short_flag('v');
    EXPECT_EQ(parser.long_room(), 2);
    EXPECT_EQ(parser.short_room(), 4);

    Argv args({"-hvf", "x"});
    parser.parse_command_line(args.argc(), args.argv());
    EXPECT_TRUE(parser.flag_is_set("help"));
    EXPECT_TRUE(parser.flag_is_set('v'));
    EXPECT_STREQ(parser.option_value("file"), "x");
}

TEST(OptionParserUsage, PrintedOnceWithALineEndBeforeAndAfter) {
    OptionParser parser(10, 10);
    parser.add_usage_line("first");
    parser.add_usage_line("");
    parser.add_usage_line("\tthird ");
    parser.add_usage_line("fourth");

    testing::internal::CaptureStdout();
    parser.print_usage();
    parser.print_usage();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nfirst\n\n\tthird \nfourth\n\n");
}

TEST(OptionParserUsage, WithoutLinesOnlyTheFramingLineEnds) {
    OptionParser parser(10, 10);
    testing::internal::CaptureStdout();
    parser.print_usage();
    parser.print_usage();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n\n");
}

// The messages go to standard output; the death test sees standard error, so the child sends
// its standard output there before the failing allocation.
void fail_allocations_from_now_on() {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    OptionParser::allocation_fails = [] { return true; };
}

void construct_without_memory() {
    fail_allocations_from_now_on();
    OptionParser parser(10, 10);
}

void add_fourth_usage_line_without_memory() {
    OptionParser parser(10, 10);
    parser.add_usage_line("one");
    parser.add_usage_line("two");
    parser.add_usage_line("three");
    fail_allocations_from_now_on();
    parser.add_usage_line(" -f  --file \t  x ");
}

void add_second_long_name_without_memory() {
    OptionParser parser(1, 2);
    parser.add_flag("help", 'h');
    fail_allocations_from_now_on();
    parser.add_value_option("file", 'f');
}

void add_second_short_char_without_memory() {
    OptionParser parser(1, 1);
    parser.add_short_flag('v');
    fail_allocations_from_now_on();
    parser.add_short_flag('q');
}

TEST(OptionParserDeathTest, NoMemoryForTheTablesEndsWithStatusOne) {
    EXPECT_EXIT(construct_without_memory(), testing::ExitedWithCode(1),
                testing::Eq(std::string("\nOPTIONS ERROR : Failed allocating memory\nExiting.\n")));
}

TEST(OptionParserDeathTest, NoMemoryForGrowthEndsWithStatusOne) {
    EXPECT_EXIT(add_fourth_usage_line_without_memory(), testing::ExitedWithCode(1),
                testing::Eq(std::string("\nOPTIONS ERROR : Failed allocating extra memory \n"
                                        "While adding the usage/help  : \" -f  --file \t  x \"\n"
                                        "Exiting.\n\n")));
    EXPECT_EXIT(add_second_long_name_without_memory(), testing::ExitedWithCode(1),
                testing::Eq(std::string("\nOPTIONS ERROR : Failed allocating extra memory \n"
                                        "While adding the option : \"file\"\n"
                                        "Exiting.\n\n")));
    EXPECT_EXIT(add_second_short_char_without_memory(), testing::ExitedWithCode(1),
                testing::Eq(std::string("\nOPTIONS ERROR : Failed allocating extra memory \n"
                                        "While adding the option: \"q\"\n"
                                        "Exiting.\n\n")));
}

}  // namespace
