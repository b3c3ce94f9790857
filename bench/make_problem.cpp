// Writes a benchmark problem for velkor into DIR: problem.txt and its curve files.
//
//   make_problem large DIR   16 curves of 256 points, each spanning 25.5
//   make_problem long DIR    5 curves spanning 100, 200, 300, 1000, 1400
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/problems.h"

namespace {

using bench_problems::Problem;

bool write_problem(const std::string& dir, const Problem& p) {
    FILE* out = std::fopen((dir + "/problem.txt").c_str(), "w");
    if (out == nullptr) return false;
    std::fprintf(out, "# benchmark problem %s: %d curves, Km %g, Vmax %g\n", p.name, p.curves, p.km,
                 p.vmax);
    std::fprintf(out, "integration_steps 1000\nmax_iterations 200\nmax_error 1e-6\n");
    std::fprintf(out, "const 0 %g %g %g\n", bench_problems::km_min(p), p.km,
                 bench_problems::km_max(p));
    std::fprintf(out, "const 1 %g %g %g\n", bench_problems::vmax_min(p), p.vmax,
                 bench_problems::vmax_max(p));
    for (int c = 0; c < p.curves; ++c)
        std::fprintf(out, "plot %s/curve_%02d.txt\n", dir.c_str(), c);
    std::fclose(out);

    for (int c = 0; c < p.curves; ++c) {
        char name[32];
        std::snprintf(name, sizeof name, "/curve_%02d.txt", c);
        FILE* f = std::fopen((dir + name).c_str(), "w");
        if (f == nullptr) return false;
        const bench_problems::Curve& curve = p.curve[c];
        std::fprintf(f, "# substrate progress curve, S0 = %g\n%.6g\n", curve.s0, curve.s0);
        for (int i = 0; i < curve.points; ++i)
            std::fprintf(f, "%.6g %.6g\n", bench_problems::point_time(curve, i),
                         bench_problems::measured(p, c, i));
        std::fclose(f);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "large") != 0 && std::strcmp(argv[1], "long") != 0)) {
        std::fprintf(stderr, "usage: make_problem large|long DIR\n");
        return 2;
    }
    const Problem p = std::strcmp(argv[1], "large") == 0 ? bench_problems::large_problem()
                                                         : bench_problems::long_problem();
    if (!write_problem(argv[2], p)) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
