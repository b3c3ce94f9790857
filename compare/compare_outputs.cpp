#include "compare/compare_outputs.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "text/number_text.h"

namespace {

using json = nlohmann::ordered_json;

std::string g(double v, int digits = 4) {
    return significant(v, digits, NonFinite::UNDEFINED);
}

std::string padded(const std::string& text, std::size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text + " ";
}

std::string side(double v) {
    return std::isnan(v) ? "unbounded" : g(v);
}

json interval(double low, double high) {
    return json::array({low, high});  // NaN is written as null
}

}  // namespace

void print_comparison(const Comparison& c) {
    std::cout << "velkor-compare of " << c.parameter_file << ": " << c.points_compared
              << " points compared in " << c.curves << " curves, every constant of each law fitted"
              << std::endl
              << std::endl;
    std::cout << padded("rank", 6) << padded("program", 11) << padded("k", 3)
              << padded("sum of squares", 16) << padded("AICc", 10) << padded("dAICc", 9)
              << padded("weight", 9) << "runs test p" << std::endl;
    for (size_t i = 0; i < c.ranked.size(); ++i) {
        const LawFit& f = c.ranked[i];
        std::cout << padded(std::to_string(i + 1), 6) << padded(f.program, 11)
                  << padded(std::to_string(f.k), 3) << padded(g(f.sum_of_squares, 6), 16)
                  << padded(g(f.aicc, 5), 10) << padded(g(f.delta, 3), 9)
                  << padded(g(f.weight, 3), 9) << g(f.residual_test_p, 2) << std::endl;
    }
    std::cout << std::endl << c.verdict << std::endl << std::endl;
    for (const LawFit& f : c.ranked) {
        std::cout << f.program << " (" << f.law << "): " << f.formula << std::endl;
        for (size_t j = 0; j < f.names.size(); ++j)
            std::cout << "    " << padded(f.names[j], 6) << g(f.values[j], 5) << " ± "
                      << g(f.standard_errors[j], 2) << "  (95 %: " << side(f.low[j]) << " .. "
                      << side(f.high[j]) << ")" << std::endl;
    }
    if (c.warnings.empty()) {
        std::cout << "no warnings" << std::endl;
        return;
    }
    std::cout << "warnings (" << c.warnings.size() << "):" << std::endl;
    for (const Warning& w : c.warnings)
        std::cout << "  " << (w.file.empty() ? "" : w.file + ": ") << w.message << std::endl;
}

bool write_comparison_json(const Comparison& c, const std::string& path) {
    json models = json::array();
    for (const LawFit& f : c.ranked) {
        json constants = json::object(), errors = json::object(), ci = json::object();
        for (size_t j = 0; j < f.names.size(); ++j) {
            constants[f.names[j]] = f.values[j];
            errors[f.names[j]] = f.standard_errors[j];
            ci[f.names[j]] = interval(f.low[j], f.high[j]);
        }
        models.push_back({{"program", f.program},
                          {"law", f.law},
                          {"formula", f.formula},
                          {"constants", constants},
                          {"standard_errors", errors},
                          {"ci95", ci},
                          {"sum_of_squares", f.sum_of_squares},
                          {"points_compared", f.n},
                          {"k", f.k},
                          {"aicc", f.aicc},
                          {"delta_aicc", f.delta},
                          {"weight", f.weight},
                          {"residual_test_p", f.residual_test_p}});
    }
    json warnings = json::array();
    for (const Warning& w : c.warnings)
        warnings.push_back({{"file", w.file.empty() ? json(nullptr) : json(w.file)},
                            {"kind", w.kind},
                            {"message", w.message}});
    const json j = {{"parameter_file", c.parameter_file},
                    {"points_compared", c.points_compared},
                    {"models", models},
                    {"best", c.ranked.empty() ? json(nullptr) : json(c.ranked.front().program)},
                    {"verdict", c.verdict},
                    {"warnings", warnings}};
    std::ofstream out(path, std::ios::binary);
    out << j.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    out.close();
    return static_cast<bool>(out);
}

bool write_comparison_table(const Comparison& c, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "rank\tprogram\tk\tpoints_compared\tsum_of_squares\taicc\tdelta_aicc\tweight\t"
           "residual_test_p\tconstant\tvalue\tstandard_error\tci95_low\tci95_high\n";
    const auto num = [](double v) { return number_text(v, "%.17g", NonFinite::R); };
    for (size_t i = 0; i < c.ranked.size(); ++i) {
        const LawFit& f = c.ranked[i];
        for (size_t j = 0; j < f.names.size(); ++j)
            out << i + 1 << '\t' << f.program << '\t' << f.k << '\t' << f.n << '\t'
                << num(f.sum_of_squares) << '\t' << num(f.aicc) << '\t' << num(f.delta) << '\t'
                << num(f.weight) << '\t' << num(f.residual_test_p) << '\t' << f.names[j] << '\t'
                << num(f.values[j]) << '\t' << num(f.standard_errors[j]) << '\t' << num(f.low[j])
                << '\t' << num(f.high[j]) << '\n';
    }
    out.close();
    return static_cast<bool>(out);
}
