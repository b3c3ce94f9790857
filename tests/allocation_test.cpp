// A whole fit, once the problem is loaded, allocates nothing: every work array
// of the workspace, the integrator and the minimiser is static.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "driver/fit_driver.h"
#include "tests/support/michaelis_menten.h"
#include "tests/support/scratch_dir.h"

namespace {
bool counting = false;
long allocations = 0;

void* allocate(std::size_t size) {
    if (counting) ++allocations;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// Three measured Michaelis-Menten curves (Km 1, Vmax 0.05), Km's range
// centred off the true value.
void load_problem(ConstantSet& constants, PlotSet& plots) {
    constants.constant_min[0] = 0.2;
    constants.constant_max[0] = 2.4;
    constants.constant_min[1] = 0.03;
    constants.constant_max[1] = 0.07;
    plots.plotCount = 3;
    for (int p = 0; p < 3; ++p) {
        Plot& plot = plots.plot[p];
        plot.initialConcentration = 0.5 * (p + 1);
        plot.pointCount = 40;
        for (int i = 0; i < plot.pointCount; ++i) {
            plot.point[i].time = 2.5 * i;
            plot.point[i].concentration[0] = testing_support::substrate_at(
                plot.initialConcentration, 1.0, 0.05, plot.point[i].time);
        }
    }
}

TEST(Allocation, CounterSeesAllocations) {
    counting = true;
    allocations = 0;
    std::string* s = new std::string("counted");
    counting = false;
    delete s;
    EXPECT_GE(allocations, 1);
}

TEST(Allocation, WholeFitAllocatesNothing) {
    const testing_support::ScratchDir scratch("velkor-alloc");

    RunSettings settings{};
    ConstantSet constants{};
    PlotSet* plots = new PlotSet();
    load_problem(constants, *plots);

    counting = true;
    allocations = 0;
    const ConstantVector result = run_fit(&constants, plots, &settings);
    counting = false;

    EXPECT_EQ(allocations, 0);
    // The fit did run: the fixed constant is the midpoint of its range.
    EXPECT_EQ(result[1], (0.07 + 0.03) / 2.0);
    delete plots;
    // The trace is the one file a fit leaves behind.
    ASSERT_EQ(std::remove("out.dat"), 0);
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
}

}  // namespace
