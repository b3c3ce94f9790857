// The EnzymeML reader with the whole import in memory, then the writer: the document written
// back with a flat simulated course per curve must import to the same curve files. The last
// byte picks the options: the species (none, "s1", "p1"), --s0-from, --time-unit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/enzymeml_document.h"
#include "formats/enzymeml_reader.h"
#include "formats/enzymeml_writer.h"
#include "fuzz/import_checks.h"
#include "import/import_run.h"

namespace {

using namespace velkor_import;

ImportOptions options_from(std::uint8_t choice) {
    ImportOptions o;
    o.source = "fuzz.json";
    o.output = "out";
    const char* species[] = {"", "s1", "p1", ""};
    o.species = species[choice & 3];
    o.build.s0_from = choice & 4 ? S0From::first : S0From::nominal;
    const char* units[] = {nullptr, "s", "min", "h"};
    if (const char* u = units[(choice >> 3) & 3]) o.build.time_unit = formats::time_unit(u);
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size - 1);
    const ImportOptions options = options_from(data[size - 1]);
    try {
        const ImportResult first =
            finish_import(formats::read_enzymeml(text, options.source, options.species), options);
        fuzz_support::check_import(first);
        formats::FittedConstant km;
        km.id = "K_M";
        km.value = 1.0;
        formats::FitForDocument fit{first.set.species_id, "-v_max * s / (K_M + s)", {km}, {}};
        for (const ProblemCurve& c : first.problem.curves)
            if (!c.measurement_id.empty())
                fit.courses.push_back({c.measurement_id, {0.0, 1.0}, {c.s0, c.s0}});
        const nlohmann::json written =
            formats::write_enzymeml(formats::parse_enzymeml(text, options.source), fit);
        const ImportResult again = finish_import(
            formats::read_enzymeml(written.dump(), options.source, first.set.species_id), options);
        if (again.files != first.files) __builtin_trap();
    } catch (const formats::InputError&) {
    } catch (const UsageError&) {
    }
    return 0;
}
