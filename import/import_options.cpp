#include "import/import_options.h"

#include <cmath>
#include <functional>
#include <map>

#include "formats/table_cells.h"

namespace velkor_import {

namespace {

std::vector<std::string> split_list(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = list.find(',', start);
        items.push_back(formats::trimmed(list.substr(start, end - start)));
        if (end == std::string::npos) return items;
        start = end + 1;
    }
}

}  // namespace

const char* usage_text() {
    return "usage: velkor-import SOURCE -o DIR [options]\n"
           "  SOURCE                an EnzymeML v2 document (JSON) or a table (CSV, TSV, ';')\n"
           "  -o DIR, --output DIR  the problem folder to write\n"
           "  --species ID          EnzymeML: the substrate whose course is fitted\n"
           "  --conc-unit U         concentrations written in U (M, mM, uM, nM); the unit of\n"
           "                        table values and S0s written without one\n"
           "  --time-unit U         times written in U (s, min, h); the unit of table times\n"
           "                        written without one. Default: chosen for the 0.01 grid\n"
           "  --s0-from nominal|first  S0 from the nominal concentration where given (default)\n"
           "                        or from each curve's first point\n"
           "  --s0 LIST             tables: S0 of each curve column, comma-separated (2.5uM,5uM)\n"
           "  --signal-per-conc F   tables: values are signals, concentration = signal / F\n"
           "  --blank COLUMN        tables: subtract this column's mean from every value first\n"
           "  --separator C         tables: the separator, one of , ; tab (default: sniffed)\n"
           "  --force               replace DIR even when it holds other files\n"
           "  -h, --help            this text\n";
}

ImportOptions parse_import_options(const std::vector<std::string>& args) {
    ImportOptions o;
    std::vector<std::string> positional;
    using Setter = std::function<void(const std::string&)>;
    const auto table_only = [&](Setter set) {
        return [&o, set](const std::string& v) {
            o.table_only_given = true;
            set(v);
        };
    };
    const std::map<std::string, Setter> with_value = {
        {"-o", [&](const std::string& v) { o.output = v; }},
        {"--output", [&](const std::string& v) { o.output = v; }},
        {"--species", [&](const std::string& v) { o.species = v; }},
        {"--conc-unit",
         [&](const std::string& v) {
             o.build.conc_unit = o.table.conc_unit = formats::concentration_unit(v);
             if (!o.build.conc_unit)
                 throw UsageError("--conc-unit: '" + v + "': expected M, mM, uM or nM");
         }},
        {"--time-unit",
         [&](const std::string& v) {
             o.build.time_unit = o.table.time_unit = formats::time_unit(v);
             if (!o.build.time_unit)
                 throw UsageError("--time-unit: '" + v + "': expected s, min or h");
         }},
        {"--s0-from",
         [&](const std::string& v) {
             if (v != "nominal" && v != "first")
                 throw UsageError("--s0-from: '" + v + "': expected nominal or first");
             o.build.s0_from = v == "first" ? S0From::first : S0From::nominal;
         }},
        {"--s0", table_only([&](const std::string& v) { o.table.s0 = split_list(v); })},
        {"--signal-per-conc", table_only([&](const std::string& v) {
             const auto f = formats::parse_number(v, false);
             if (!f || !(*f > 0))
                 throw UsageError("--signal-per-conc: '" + v + "': expected a positive number");
             o.table.signal_per_conc = f;
         })},
        {"--blank", table_only([&](const std::string& v) { o.table.blank_column = v; })},
        {"--separator", table_only([&](const std::string& v) {
             if (v != "," && v != ";" && v != "tab")
                 throw UsageError("--separator: '" + v + "': expected , ; or tab");
             o.table.separator = v == "tab" ? '\t' : v[0];
         })}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i], value;
        const std::size_t eq = arg.find('=');
        const bool joined = arg.rfind("--", 0) == 0 && eq != std::string::npos;
        if (joined) value = arg.substr(eq + 1), arg = arg.substr(0, eq);
        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--force") {
            o.force = true;
        } else if (const auto it = with_value.find(arg); it != with_value.end()) {
            if (!joined) {
                if (i + 1 == args.size()) throw UsageError(arg + " needs a value");
                value = args[++i];
            }
            it->second(value);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + args[i] + "'");
        } else {
            positional.push_back(arg);
        }
    }
    if (o.help) return o;
    if (positional.size() != 1)
        throw UsageError(positional.empty() ? "no SOURCE given" : "more than one SOURCE given");
    o.source = positional[0];
    if (o.output.empty()) throw UsageError("no output folder: give -o DIR");
    return o;
}

}  // namespace velkor_import
