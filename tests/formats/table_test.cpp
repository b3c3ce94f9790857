// Tables: cells as people and plate readers write them, the separator, the table's place in
// the file, both layouts, blanks and signals, and the messages for bad cells.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "formats/csv_records.h"
#include "formats/table_cells.h"
#include "formats/table_reader.h"

namespace {

using formats::InputError;

std::string message_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const InputError& e) {
        return e.what();
    }
    return "(no error)";
}

formats::Dataset read(const std::string& text, formats::TableOptions options = {}) {
    return formats::read_table(text, "t.csv", options);
}

}  // namespace

TEST(TableCells, NumbersClockTimesConcentrationsAndHeaders) {
    using formats::parse_clock;
    using formats::parse_number;
    EXPECT_EQ(parse_number("0,1389", true), 0.1389);
    EXPECT_FALSE(parse_number("0,1389", false));
    EXPECT_FALSE(parse_number("1,234,5", true));
    EXPECT_EQ(parse_number(" +2.5e-3 ", false), 0.0025);
    for (const char* bad : {"inf", "nan", "1e400", "12min", "+-1", "", "0x10"})
        EXPECT_FALSE(parse_number(bad, false)) << bad;

    EXPECT_EQ(parse_clock("1:05:00", false), 3900.0);
    EXPECT_EQ(parse_clock("00:01:00", false), 60.0);
    EXPECT_EQ(parse_clock("0:00:30,5", true), 30.5);
    EXPECT_EQ(parse_clock("2:30", false), 150.0);
    for (const char* bad : {"1:5:00", "0:61:00", "0:00:60", "12", "1:2", "a:00:00", "1:00:00:00"})
        EXPECT_FALSE(parse_clock(bad, false)) << bad;

    const auto micro = formats::parse_concentration("50 \xC2\xB5M", false);
    ASSERT_TRUE(micro && micro->unit);
    EXPECT_EQ(micro->value, 50.0);
    EXPECT_EQ(micro->unit->name, "uM");
    EXPECT_EQ(formats::parse_concentration("2.5uM", false)->unit->factor, 1e-6);
    EXPECT_EQ(formats::parse_concentration("0,5 mM", true)->value, 0.5);
    EXPECT_EQ(formats::parse_concentration("1e-3 M", false)->value, 1e-3);
    const auto bare = formats::parse_concentration("S0 = 10", false);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->value, 10.0);
    EXPECT_FALSE(bare->unit);
    EXPECT_FALSE(formats::parse_concentration("10 ug", false));
    EXPECT_FALSE(formats::parse_concentration("A1", false));

    EXPECT_EQ(formats::split_label("Time (s)").name, "time");
    EXPECT_EQ(formats::split_label("Time (s)").unit, "s");
    EXPECT_EQ(formats::split_label("Time [min]").unit, "min");
    EXPECT_EQ(formats::split_label("time/h").unit, "h");
}

TEST(TableRecords, SeparatorSniffedAndQuotesKept) {
    // A decimal comma splits a ';' table unevenly on ',': ';' wins.
    EXPECT_EQ(formats::sniff_separator("Time;A1\n0,5;0,1\n1,5;0,2\n"), ';');
    EXPECT_EQ(formats::sniff_separator("Time\tA1\tA2\n0\t1,5\t2\n1\t1,4\t1,9\n"), '\t');
    EXPECT_EQ(formats::sniff_separator("Time,A1\n0,1\n1,2\n"), ',');
    EXPECT_EQ(formats::sniff_separator("just words\nmore words\n"), 0);
    const auto records = formats::split_records("\"a,\"\"b\"\"\",c\r\n1,2\r\n", ',');
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, (std::vector<std::string>{"a,\"b\"", "c"}));
    EXPECT_EQ(records[1].line, 2);
}

TEST(WideTable, PlateExportWithMetadataTemperatureBlankAndSignal) {
    // Latin-1 ("T\xB0"), metadata padded to the table's width, clock times, a 0 uM well, an
    // empty cell. Blank mean (0.10 + 0.20) / 2 = 0.15; concentration = (signal - 0.15) / 0.5.
    const std::string text =
        "Plate 1;;;;\r\n;;;;\r\nTime;T\xB0 340;Blank;0 uM;4 uM\r\n"
        "0:00:30;25,0;0,10;0,16;2,15\r\n0:01:00;25,0;0,20;0,14;\r\n0:01:30;25,1;0,15;0,15;1,15\r\n"
        "\r\nEnd of export\r\n";
    formats::TableOptions options;
    options.signal_per_conc = 0.5;
    options.blank_column = "Blank";
    const formats::Dataset set = read(text, options);
    ASSERT_EQ(set.curves.size(), 2u);  // the 0 uM well is a curve here; the builder leaves it out
    const formats::SourceCurve& c = set.curves[1];
    EXPECT_EQ(c.name, "4 uM");
    EXPECT_EQ(*c.nominal_s0, 4.0);
    EXPECT_EQ(c.time.name, "s");
    ASSERT_EQ(c.points.size(), 2u);
    EXPECT_EQ(c.points[0].time, 30.0);
    EXPECT_DOUBLE_EQ(c.points[0].value, 4.0);
    EXPECT_EQ(c.points[1].time, 90.0);
    EXPECT_DOUBLE_EQ(c.points[1].value, 2.0);
    ASSERT_EQ(c.left_out.size(), 1u);
    EXPECT_EQ(c.left_out[0].where, "line 5");
    EXPECT_EQ(c.left_out[0].reason, "empty cell");
    const std::string notes = [&] {
        std::string all;
        for (const std::string& n : set.notes)
            all += n + "\n";
        return all;
    }();
    EXPECT_NE(notes.find("read as Latin-1"), std::string::npos);
    EXPECT_NE(notes.find("lines 1-2 above the table's header not read"), std::string::npos);
    EXPECT_NE(notes.find("column 'T\xC2\xB0 340' (a temperature) not read"), std::string::npos);
    EXPECT_NE(notes.find("line 8 below the table's end"), std::string::npos);
    EXPECT_NE(notes.find("blank column 'Blank': mean 0.15 of 3 cells"), std::string::npos);
}

TEST(LongTable, RowsInAnyOrderS0FromNamesUnitsFromHeaders) {
    const formats::Dataset set = read(
        "curve,time (min),concentration (uM)\nS0=20,3,17\nS0=10,0,10\nS0=10,3,7.9\nS0=20,0,20\n"
        "S0=0.005 mM,0,5\n");
    ASSERT_EQ(set.curves.size(), 3u);
    EXPECT_EQ(set.curves[0].name, "S0=0.005 mM");  // ordered by S0: 5 uM, 10 uM, 20 uM
    EXPECT_DOUBLE_EQ(*set.curves[0].nominal_s0, 5.0);
    EXPECT_EQ(set.curves[2].name, "S0=20");
    EXPECT_EQ(set.curves[2].conc.name, "uM");
    EXPECT_EQ(set.curves[2].time.factor, 60.0);
    EXPECT_EQ(set.curves[2].points[0].place, 2);  // in file order; the builder sorts
}

TEST(TableReader, BadInputNamesFileLineAndColumn) {
    EXPECT_EQ(message_of([] { read("Time (s),A1 (1 uM)\n0,1\n5,abc\n"); }),
              "t.csv:3: column 'A1 (1 uM)': 'abc' is not a number");
    EXPECT_EQ(message_of([] { read("Time (s),1 uM\n0,1\n5,0.5,7\n"); }),
              "t.csv:3: 3 fields, but the header has 2");
    EXPECT_EQ(message_of([] { read("Time,1 uM\n0,1\n5,0.5\n"); }),
              "t.csv:1: column 'Time' has no unit: write it in the header ('Time (s)') or give "
              "--time-unit");
    EXPECT_EQ(message_of([] { read("Time (s),1 uM\n0,1\nlater,0.5\n"); }),
              "t.csv:3: column 'Time (s)': 'later' is not a time: expected a number or H:MM:SS");
    EXPECT_EQ(message_of([] { read("Time (s),A1\n0,1\n5,0.5\n"); }),
              "t.csv:1: column 'A1': no concentration unit: give S0 with a unit in the header "
              "('2.5 uM'), in --s0, or give --conc-unit");
    formats::TableOptions two;
    two.s0 = {"1uM", "2uM"};
    EXPECT_EQ(message_of([&] { read("Time (s),A1\n0,1\n5,0.5\n", two); }),
              "--s0: 2 entries for 1 curve columns of t.csv");
    EXPECT_EQ(message_of([&] { read("curve,time (s),value (uM)\na,0,1\na,5,0.5\n", two); }),
              "--s0: t.csv is a long table: its S0s come from an S0 column or the curve names");
}
