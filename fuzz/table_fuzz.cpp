// The table reader with the whole import in memory. The first byte picks the options: the
// separator (sniffed, ',', ';', tab), --signal-per-conc, --blank "B", --conc-unit,
// --time-unit, --s0-from; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/table_reader.h"
#include "fuzz/import_checks.h"
#include "import/import_run.h"

namespace {

using namespace velkor_import;

ImportOptions options_from(std::uint8_t choice) {
    ImportOptions o;
    o.source = "fuzz.csv";
    o.output = "out";
    const char separators[] = {0, ',', ';', '\t'};
    o.table.separator = separators[choice & 3];
    if (choice & 4) o.table.signal_per_conc = 0.5;
    if (choice & 8) o.table.blank_column = "B";
    if (choice & 16) o.build.conc_unit = o.table.conc_unit = formats::concentration_unit("uM");
    if (choice & 32) o.build.time_unit = o.table.time_unit = formats::time_unit("min");
    if (choice & 64) o.build.s0_from = S0From::first;
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const ImportOptions options = options_from(data[0]);
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        fuzz_support::check_import(
            finish_import(formats::read_table(bytes, options.source, options.table), options));
    } catch (const formats::InputError&) {
    } catch (const UsageError&) {
    }
    return 0;
}
