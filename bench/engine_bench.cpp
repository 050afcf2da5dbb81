// Time to build one whole worksheet, per family and form, with the production random source,
// next to a floor that seeds the same source, makes the same number of draws and appends the
// same number of characters with no logic. Both cycle through the same seeds. And the time to mark
// a whole sheet whose every answer is typed as its key writes it.

#include "bench/counting_source.h"
#include "engine/maths.h"
#include "families/catalogue.h"
#include "sets/class_set.h"
#include "sets/marking.h"

#include <benchmark/benchmark.h>

#include <array>
#include <bit>
#include <cstdint>

#include <string>
#include <vector>

using namespace quillora;

namespace {

constexpr std::uint32_t Seeds = 4096;

using test::CountingSource;

struct Work {
    std::size_t draws;
    std::size_t characters;
};

void sheet(benchmark::State& state, const Family* family, ProblemOptions options)
{
    std::uint32_t seed = 0;
    for (auto _ : state) {
        Mt19937Source source(seed % Seeds + 1);
        ++seed;
        benchmark::DoNotOptimize(family->driver(*family, options, source, nullptr));
    }
}

// The values only xor-ed together, so no arithmetic chain slows the floor down; a function of
// its own keeps the sum in a register rather than in the benchmark's frame.
[[gnu::noinline]] std::uint32_t take_values(Mt19937Source& source, std::size_t n)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < n; ++i)
        bits ^= std::bit_cast<std::uint32_t>(source.next());
    return bits;
}

// The draws and characters of the sheet of every seed, counted beforehand.
void floor(benchmark::State& state, const Family* family, ProblemOptions options)
{
    std::vector<Work> work;
    for (std::uint32_t seed = 1; seed <= Seeds; ++seed) {
        CountingSource source(seed);
        work.push_back({ 0, family->driver(*family, options, source, nullptr).size() });
        work.back().draws = static_cast<std::size_t>(source.draws());
    }
    std::uint32_t seed = 0;
    double draws = 0;
    double characters = 0;
    for (auto _ : state) {
        const Work& w = work[seed % Seeds];
        Mt19937Source source(seed % Seeds + 1);
        ++seed;
        std::uint32_t bits = take_values(source, w.draws);
        Text text;
        for (std::size_t i = 0; i < w.characters; ++i)
            text.push_back(u' ');
        benchmark::DoNotOptimize(bits);
        benchmark::DoNotOptimize(text);
        draws += static_cast<double>(w.draws);
        characters += static_cast<double>(w.characters);
    }
    state.counters["draws"] = benchmark::Counter(draws, benchmark::Counter::kAvgIterations);
    state.counters["chars"] = benchmark::Counter(characters, benchmark::Counter::kAvgIterations);
}

// The sheets of the first seeds typed with their keys' answers, marked in turn (each marking
// makes its sheet again, as the self-check page does).
void mark(benchmark::State& state, const Family* family, ProblemOptions options)
{
    constexpr std::uint32_t Sheets = 64;
    std::vector<std::vector<Text>> typed(Sheets);
    for (std::uint32_t seed = 0; seed < Sheets; ++seed) {
        std::vector<Problem> problems;
        make_sheet(*family, options, seed + 1, &problems);
        for (const Problem& problem : problems)
            typed[seed].push_back(maths_text(problem.answer()));
    }
    std::uint32_t seed = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mark_sheet(*family, options, seed + 1, typed[seed]));
        seed = (seed + 1) % Sheets;
    }
}

// Per form and "mixed", named family/form (the equations also with the box ticked): the sheet,
// then its floor as family/form/floor and the sheet with no problem twice as family/form/distinct.
void register_sheets()
{
    for (const Family* each : families()) {
        const Family& family = *each;
        std::vector<std::pair<std::string, FormSelection>> forms;
        for (std::size_t i = 0; i < family.forms.size(); ++i)
            forms.emplace_back(std::string(family.forms[i].code), FormSelection::form(int(i) + 1));
        forms.emplace_back("mixed", FormSelection::mixed());
        for (const bool ticked : { false, true }) {
            if (ticked && !family.takes_fraction_answers())
                continue;
            for (const auto& [name, selection] : forms) {
                const std::string label
                    = std::string(family.name) + "/" + name + (ticked ? "/fraction-answers" : "");
                const ProblemOptions options { .selection = selection,
                    .fraction_answers_ok = ticked };
                benchmark::RegisterBenchmark(label.c_str(), sheet, &family, options);
                benchmark::RegisterBenchmark((label + "/floor").c_str(), floor, &family, options);
                if (name == "mixed" && !ticked)
                    benchmark::RegisterBenchmark((label + "/mark").c_str(), mark, &family, options);
                if (!ticked) { // what taking back repeated problems costs
                    ProblemOptions distinct = options;
                    distinct.distinct = true;
                    benchmark::RegisterBenchmark(
                        (label + "/distinct").c_str(), sheet, &family, distinct);
                }
            }
        }
    }
}

// One PDF sheet of the family's mixed form as the tool makes it, from the draws to the file's
// bytes: typeset, and the fixed-pitch page beside it (family/pdf/typeset, family/pdf/plain).
void pdf_sheet(benchmark::State& state, const Family* family, Style style)
{
    SetRequest request;
    request.family = family;
    request.options.selection = FormSelection::mixed();
    request.format = Format::Pdf;
    request.style = style;
    std::uint32_t seed = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(render_set(request, seed++ % Seeds + 1, A4Paper));
}

void register_pdf_sheets()
{
    for (const Family* family : families()) {
        for (const auto& [name, style] :
            { std::pair { "typeset", Style::Typeset }, std::pair { "plain", Style::Plain } })
            benchmark::RegisterBenchmark(
                (std::string(family->name) + "/pdf/" + name).c_str(), pdf_sheet, family, style);
    }
}

} // namespace

int main(int argc, char** argv)
{
    register_sheets();
    register_pdf_sheets();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
