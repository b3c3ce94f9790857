// EnzymeML: units from base units, the reader's choices and refusals, and the writer's round
// trip (import, write the fit back, import again: the same problem).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "formats/enzymeml_document.h"
#include "formats/enzymeml_reader.h"
#include "formats/enzymeml_units.h"
#include "formats/enzymeml_writer.h"
#include "import/import_run.h"

namespace {

using nlohmann::json;

const std::string EXAMPLE = VELKOR_SOURCE_DIR "/examples/enzymeml/enzymeml-v2-example.json";

std::string read_file(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::string text;
    char buffer[65536];
    for (std::size_t n; f && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        text.append(buffer, n);
    if (f) std::fclose(f);
    return text;
}

json base(const char* kind, double exponent, double multiplier, double scale) {
    return {{"kind", kind}, {"exponent", exponent}, {"multiplier", multiplier}, {"scale", scale}};
}

std::string message_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const formats::InputError& e) {
        return e.what();
    }
    return "(no error)";
}

// One measurement of substrate "s" in mmol/l over seconds.
json small_document(const json& data, const json& time) {
    json unit = {{"name", "mmol / l"},
                 {"base_units", {base("mole", 1, 1, -3), base("litre", -1, 1, 0)}}};
    return {{"@context", "https://example.org"},
            {"unknown_key", {1, 2}},
            {"measurements",
             {{{"id", "m0"},
               {"name", "run"},
               {"@type", {"enzml:Measurement"}},
               {"group_id", nullptr},
               {"species_data",
                {{{"species_id", "s"},
                  {"prepared", nullptr},
                  {"data", data},
                  {"time", time},
                  {"data_unit", unit},
                  {"time_unit", {{"base_units", {base("second", 1, 1, 0)}}}}}}}}}}};
}

}  // namespace

TEST(EnzymeMLUnits, BaseUnitsDecideNotNames) {
    // Named "mmol / l", but the base units say micromole per litre.
    const json micro = {{"name", "mmol / l"},
                        {"base_units", {base("mole", 1, 1, -6), base("litre", -1, 1, 0)}}};
    const formats::Unit u = formats::enzymeml_concentration_unit(micro, "d");
    EXPECT_EQ(u.name, "uM");
    EXPECT_DOUBLE_EQ(u.factor, 1e-6);
    // mol/m^3 is mM; 2.5 umol per litre is no named unit but converts: 4 of it = 10 uM.
    const json per_m3 = {{"base_units", {base("mole", 1, 1, 0), base("metre", -3, 1, 0)}}};
    EXPECT_EQ(formats::enzymeml_concentration_unit(per_m3, "d").name, "mM");
    const json odd = {{"base_units", {base("mole", 1, 2.5, -6), base("litre", -1, 1, 0)}}};
    const formats::Unit o = formats::enzymeml_concentration_unit(odd, "d");
    EXPECT_DOUBLE_EQ(formats::convert(4.0, o, *formats::concentration_unit("uM")), 10.0);
    // Minutes and hours are seconds with a multiplier.
    EXPECT_EQ(formats::enzymeml_time_unit({{"base_units", {base("second", 1, 60, 0)}}}, "t").name,
              "min");
    EXPECT_DOUBLE_EQ(
        formats::enzymeml_time_unit({{"base_units", {base("second", 1, 36, 2)}}}, "t").factor,
        3600.0);
    const json grams = {{"name", "g / l"},
                        {"base_units", {base("gram", 1, 1, 0), base("litre", -1, 1, 0)}}};
    EXPECT_EQ(
        message_of([&] { formats::enzymeml_concentration_unit(grams, "doc.json: x.data_unit"); }),
        "doc.json: x.data_unit: base units ('g / l') are not a concentration: expected "
        "mole^1 litre^-1");
}

TEST(EnzymeMLReader, ExampleNeedsTheSpeciesAndKeepsPreparedAndFirstTimes) {
    const std::string text = read_file(EXAMPLE);
    EXPECT_EQ(message_of([&] { formats::read_enzymeml(text, "ex.json", ""); }),
              "ex.json: several species have time courses (p1, s1): name the substrate with "
              "--species");
    const formats::Dataset set = formats::read_enzymeml(text, "ex.json", "s1");
    ASSERT_EQ(set.curves.size(), 5u);
    const formats::SourceCurve& m3 = set.curves[3];
    EXPECT_EQ(m3.measurement_id, "m3");
    EXPECT_EQ(*m3.nominal_s0, 80.0);
    EXPECT_EQ(m3.points.front().time, 0.5);
    EXPECT_EQ(m3.points.front().value, 79.566);
    EXPECT_EQ(m3.conc.name, "uM");
    EXPECT_EQ(m3.time.factor, 60.0);
    // The enzyme has no data and is no candidate; a species without courses is refused.
    EXPECT_EQ(message_of([&] { formats::read_enzymeml(text, "ex.json", "e1"); }),
              "ex.json: species 'e1' has no time course; species with time courses: p1, s1");
}

TEST(EnzymeMLReader, IgnoresJsonLdUnknownKeysAndNullsButNotBadValues) {
    const json doc = small_document({5.0, nullptr, 4.0}, {0.0, 1.0, 2.0});
    const formats::Dataset set = formats::read_enzymeml(doc.dump(), "d.json", "");
    ASSERT_EQ(set.curves.size(), 1u);
    EXPECT_FALSE(set.curves[0].nominal_s0);
    ASSERT_EQ(set.curves[0].points.size(), 2u);
    ASSERT_EQ(set.curves[0].left_out.size(), 1u);
    EXPECT_EQ(set.curves[0].left_out[0].where, "sample 1");
    EXPECT_EQ(set.curves[0].left_out[0].reason, "no value (null)");

    EXPECT_EQ(message_of([] {
                  formats::read_enzymeml(small_document({5.0, 4.0}, {0.0, 1.0, 2.0}).dump(),
                                         "d.json", "");
              }),
              "d.json: measurements[0].species_data[0]: 3 times but 2 data values: expected as "
              "many of each");
    EXPECT_EQ(
        message_of([] {
            formats::read_enzymeml(small_document({5.0, "4"}, {0.0, 1.0}).dump(), "d.json", "");
        }),
        "d.json: measurements[0].species_data[0].data[1]: expected a number");
    EXPECT_EQ(message_of([] {
                  formats::read_enzymeml("{\n\"a\": [1,\n2,,]}", "d.json", "");
              }).substr(0, 28),
              "d.json:3: not valid JSON (\x5bj");
    EXPECT_NE(message_of([] {
                  formats::parse_enzymeml(std::string(100, '[') + std::string(100, ']'), "d");
              }).find("nested deeper than 64 levels"),
              std::string::npos);
}

namespace {

// The fit written back: each curve's written times and a made-up course, taken back to the
// document's units with import.json's factors and shift.
formats::FitForDocument fit_of(const velkor_import::ImportResult& r) {
    const json record = json::parse(r.files.back().second);
    formats::FitForDocument fit{"s1", "-v_max * s1 / (K_M + s1)", {}, {}};
    formats::FittedConstant km;
    km.id = "K_M";
    km.name = "Michaelis constant";
    km.value = 40.0;
    km.standard_error = 0.5;
    km.lower_bound = 39.0;
    km.upper_bound = 41.0;
    fit.constants.push_back(km);
    for (std::size_t i = 0; i < r.problem.curves.size(); ++i) {
        const json& c = record["curves"][i];
        const double time_ratio =
            record["time"]["seconds"].get<double>() / c["source_time"]["seconds"].get<double>();
        formats::SimulatedCourse course{c["measurement_id"], {}, {}};
        for (const velkor_import::Point& p : r.problem.curves[i].points) {
            course.time.push_back(p.time * time_ratio + c["time_shift"].get<double>());
            course.data.push_back(r.problem.curves[i].s0 * std::exp(-p.time / 30));
        }
        fit.courses.push_back(course);
    }
    return fit;
}

}  // namespace

TEST(EnzymeMLWriter, WrittenBackDocumentImportsToTheSameProblem) {
    const std::string text = read_file(EXAMPLE);
    for (const auto from : {velkor_import::S0From::nominal, velkor_import::S0From::first}) {
        velkor_import::ImportOptions options;
        options.source = "ex.json";
        options.species = "s1";
        options.build.s0_from = from;
        const velkor_import::ImportResult first = velkor_import::run_import(text, options);
        const json source = formats::parse_enzymeml(text, "ex.json");
        const json once = formats::write_enzymeml(source, fit_of(first));
        const json twice =
            formats::write_enzymeml(once, fit_of(first));  // replaces, never piles up
        EXPECT_EQ(once, twice);

        ASSERT_EQ(once["equations"].size(), 1u);
        EXPECT_EQ(once["equations"][0]["equation_type"], "ode");
        EXPECT_EQ(once["equations"][0]["species_id"], "s1");
        EXPECT_EQ(once["parameters"][0]["stderr"], 0.5);
        EXPECT_EQ(once["description"], source["description"]);  // the rest is kept
        // m3's first sample is at 0.5 min. With S0 prepared, point 0 is the added time 0; with
        // S0 from the first sample, the shift takes the written 0 back to 0.5.
        const json& m3 = once["measurements"][3]["species_data"];
        ASSERT_EQ(m3.size(), 4u);
        EXPECT_EQ(m3[3]["is_simulated"], true);
        EXPECT_EQ(m3[3]["time"][0], from == velkor_import::S0From::nominal ? 0.0 : 0.5);
        EXPECT_EQ(m3[3]["time"].back(), 30.5);
        EXPECT_EQ(m3[3]["data_unit"], m3[0]["data_unit"]);

        const velkor_import::ImportResult again = velkor_import::run_import(twice.dump(1), options);
        EXPECT_EQ(again.files, first.files);
    }
}
