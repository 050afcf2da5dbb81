// Time to build one whole worksheet, per form, with the production random source.

#include "families/binomials/binomials.h"
#include "families/fractions/fractions.h"
#include "families/equations/equations.h"

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

// Operation places 1 to 4 (addition, subtraction, multiplication, division), 0 for mixed.
void fraction_sheet(benchmark::State& state)
{
    const auto place = static_cast<int>(state.range(0));
    const ProblemOptions options { .selection
        = place == 0 ? FormSelection::mixed() : FormSelection::form(place) };
    std::uint32_t seed = 1;
    for (auto _ : state) {
        Mt19937Source source(seed++);
        benchmark::DoNotOptimize(fractions(options, source));
    }
}

// Form place (0 for mixed) and the "Fraction Answers OK" box (0 clear, 1 ticked).
void equation_sheet(benchmark::State& state)
{
    const auto place = static_cast<int>(state.range(0));
    const ProblemOptions options {
        .selection = place == 0 ? FormSelection::mixed() : FormSelection::form(place),
        .fraction_answers_ok = state.range(1) != 0,
    };
    std::uint32_t seed = 1;
    for (auto _ : state) {
        Mt19937Source source(seed++);
        benchmark::DoNotOptimize(equations(options, source));
    }
}

} // namespace

BENCHMARK(binomial_sheet)->ArgName("Bin")->DenseRange(1, 8)->Arg(0);
BENCHMARK(fraction_sheet)->ArgName("operation")->DenseRange(1, 4)->Arg(0);
BENCHMARK(equation_sheet)
    ->ArgNames({ "EQ", "fractions" })
    ->ArgsProduct({ { 1, 2, 3, 4, 5, 6, 0 }, { 0, 1 } });

BENCHMARK_MAIN();
