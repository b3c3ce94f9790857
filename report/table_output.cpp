#include "report/table_output.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "text/number_text.h"
#include "text/utf8_text.h"

namespace {

const char* const HEADER = "curve\tfile\ttime\tmeasured\tsimulated\tresidual\tcompared\n";

// Enough digits that a reader gets back the very double the fit used.
const char* const FULL_PRECISION = "%.17g";

// R's own spellings of the special values, which pandas and gnuplot read as well; printf's
// "nan" and "-nan" are not R's.
std::string number(double value) {
    return number_text(value, FULL_PRECISION, NonFinite::R);
}

// A tab or a line break inside a name would shift the columns or split the row, so they
// become blanks. A double quote would make R and pandas start a quoted field; such a name
// is quoted the way both read it, inner quotes doubled.
std::string file_field(const std::string& name) {
    std::string field;
    bool has_quote = false;
    // A byte that is not UTF-8 (of a Latin-1 name, say) would make pandas refuse the whole
    // table, so it becomes '?'.
    for (char c : clean_utf8(name)) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
        if (c == '"') {
            has_quote = true;
            field += '"';
        }
        field += c;
    }
    return has_quote ? '"' + field + '"' : field;
}

void write_row(std::ofstream& out, int curve_number, const std::string& file,
               const PointRow& point) {
    out << curve_number << '\t' << file << '\t' << number(point.time) << '\t'
        << number(point.measured) << '\t' << number(point.simulated) << '\t'
        << number(point.measured - point.simulated) << '\t' << (point.compared ? 1 : 0) << '\n';
}

}  // namespace

bool write_point_table(const FitReport& report, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    out << HEADER;
    for (size_t c = 0; c < report.curves.size(); ++c) {
        const CurveResult& curve = report.curves[c];
        const std::string file = file_field(curve.file);
        // Curves are numbered from 1, as people count the plot lines of the parameter
        // file; the figure's data blocks ($measured1, ...) are numbered the same way.
        for (const PointRow& point : curve.points)
            write_row(out, static_cast<int>(c) + 1, file, point);
    }
    out.close();
    return !out.fail();
}
