// Time to build one whole worksheet, per form, with the production random source.

#include "families/binomials/binomials.h"
#include "families/factoring/factoring.h"

#include <benchmark/benchmark.h>

using namespace quillora;

namespace {

void binomial_sheet(benchmark::State& state)
{
    const auto place = static_cast<int>(state.range(0));
    const ProblemOptions options { .selection
        = place == 0 ? FormSelection::mixed() : FormSelection::form(place) };
    std::uint32_t seed = 1;
    for (auto _ : state) {
        Mt19937Source source(seed++);
        benchmark::DoNotOptimize(multiply_binomials(options, source));
    }
}

// Place 1..7 is EGF, HGF, EGFGCF, HGFGCF, GCF, DOTS, PST; 0 is mixed.
void factoring_sheet(benchmark::State& state)
{
    const auto place = static_cast<int>(state.range(0));
    const ProblemOptions options { .selection
        = place == 0 ? FormSelection::mixed() : FormSelection::form(place) };
    std::uint32_t seed = 1;
    for (auto _ : state) {
        Mt19937Source source(seed++);
        benchmark::DoNotOptimize(factoring(options, source));
    }
}

} // namespace

BENCHMARK(binomial_sheet)->ArgName("Bin")->DenseRange(1, 8)->Arg(0);
BENCHMARK(factoring_sheet)->ArgName("place")->DenseRange(1, 7)->Arg(0);

BENCHMARK_MAIN();
