// Time to build one whole worksheet, per form, with the production random source.

#include "families/binomials/binomials.h"
#include "families/fraction_equations/fraction_equations.h"

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

void fraction_equation_sheet(benchmark::State& state)
{
    const auto place = static_cast<int>(state.range(0));
    const ProblemOptions options { .selection
        = place == 0 ? FormSelection::mixed() : FormSelection::form(place) };
    std::uint32_t seed = 1;
    for (auto _ : state) {
        Mt19937Source source(seed++);
        benchmark::DoNotOptimize(fraction_busters(options, source));
    }
}

} // namespace

BENCHMARK(binomial_sheet)->ArgName("Bin")->DenseRange(1, 8)->Arg(0);
BENCHMARK(fraction_equation_sheet)->ArgName("FB")->DenseRange(1, 5)->Arg(0);

BENCHMARK_MAIN();
