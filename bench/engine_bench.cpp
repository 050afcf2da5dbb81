// Time to build one whole worksheet, per family and form, with the production random source.

#include "dialog/catalogue.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace quillora;

namespace {

void sheet(benchmark::State& state, const FamilyEntry* family, ProblemOptions options)
{
    std::uint32_t seed = 1;
    for (auto _ : state) {
        Mt19937Source source(seed++);
        benchmark::DoNotOptimize(family->run(options, source));
    }
}

// One benchmark per form and "mixed", named family/form; the equations also with the box ticked.
void register_sheets()
{
    for (const FamilyEntry& family : families()) {
        std::vector<std::pair<std::string, FormSelection>> forms;
        for (std::size_t i = 0; i < family.forms.size(); ++i)
            forms.emplace_back(std::string(family.forms[i]), FormSelection::form(int(i) + 1));
        forms.emplace_back("mixed", FormSelection::mixed());
        for (const bool ticked : { false, true }) {
            if (ticked && !family.takes_fraction_answers)
                continue;
            for (const auto& [name, selection] : forms) {
                const std::string label
                    = std::string(family.name) + "/" + name + (ticked ? "/fraction-answers" : "");
                benchmark::RegisterBenchmark(label.c_str(), sheet, &family,
                    ProblemOptions { .selection = selection, .fraction_answers_ok = ticked });
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    register_sheets();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
