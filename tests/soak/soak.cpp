// Soak: makes worksheets of every form until a given number of problems, runs each through its
// family's invariant checks, and reports per form the problems checked, the violations and the
// longest run of redraws. Each generator is wrapped to count the draws it makes on a counting
// source; a first accepted attempt makes a known number of draws and each redrawn attempt adds a
// known number, so (draws - fewest) / per-attempt is the problem's redraw run.

#include "dialog/catalogue.h"
#include "families/binomials/binomials.h"
#include "families/equations/equations.h"
#include "families/factoring/factoring.h"
#include "families/fraction_equations/fraction_equations.h"
#include "tests/counting_source.h"
#include "tests/invariants/invariants.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace quillora;

namespace {

constexpr std::size_t MaxForms = 8;

using test::CountingSource;

/// Draws of an accepted first attempt, and draws each redrawn attempt adds (0: never redraws;
/// FB5, with two loops, uses the smaller).
struct DrawRule {
    int fewest;
    int per_attempt;
};

struct FamilyRules {
    std::string_view name;
    const FamilyFrame& (*frame)();
    std::vector<DrawRule> rules; // by place
};

const FamilyRules Rules[] = {
    { "equations", equations_family,
        { { 2, 2 }, { 3, 3 }, { 4, 4 }, { 4, 4 }, { 6, 6 }, { 2, 2 } } },
    { "fraction-equations", fraction_equations_family,
        { { 3, 2 }, { 5, 2 }, { 6, 4 }, { 8, 4 }, { 10, 2 } } },
    { "binomials", binomials_family,
        { { 2, 0 }, { 2, 0 }, { 3, 0 }, { 4, 4 }, { 4, 4 }, { 5, 4 }, { 3, 0 }, { 3, 0 } } },
    { "factoring", factoring_family,
        { { 2, 2 }, { 4, 4 }, { 3, 2 }, { 5, 4 }, { 3, 3 }, { 2, 2 }, { 3, 2 } } },
};

/// What the generator wrappers record for the sheet being made.
struct Recorder {
    CountingSource* source = nullptr;
    const FamilyRules* family = nullptr;
    long longest_run = 0;
    std::array<long, MaxForms> fewest_seen {}; // which must be the rule's
    std::vector<std::string> faults;
} recorder;

template <std::size_t I> void counted(Frame& f)
{
    const long before = recorder.source->draws();
    recorder.family->frame().forms[I](f);
    const long draws = recorder.source->draws() - before;
    const DrawRule rule = recorder.family->rules[I];
    long& fewest = recorder.fewest_seen[I];
    fewest = fewest == 0 ? draws : std::min(fewest, draws);
    const long extra = draws - rule.fewest;
    if (extra < 0 || (rule.per_attempt == 0 ? extra != 0 : extra % rule.per_attempt != 0))
        recorder.faults.push_back(
            "form " + std::to_string(I + 1) + " made " + std::to_string(draws) + " draws");
    else if (rule.per_attempt != 0)
        recorder.longest_run = std::max(recorder.longest_run, extra / rule.per_attempt);
}

template <std::size_t... I> constexpr auto wrappers(std::index_sequence<I...>)
{
    return std::array<Generator, MaxForms> { counted<I>... };
}
constexpr auto Wrappers = wrappers(std::make_index_sequence<MaxForms>());

/// Checks sheets of one form from first_seed on until `problems`; prints its row and returns
/// its violations.
long soak_form(const FamilyEntry& family, const std::string& label, const ProblemOptions& options,
    long problems, std::uint32_t first_seed)
{
    const auto check = invariants::sheet_check(family.name);
    const auto* rules = std::find_if(
        std::begin(Rules), std::end(Rules), [&](const auto& r) { return r.name == family.name; });
    const bool counted = rules != std::end(Rules);
    FamilyFrame wrapped = counted ? rules->frame() : FamilyFrame {};
    if (counted) {
        wrapped.forms = std::span<const Generator>(Wrappers.data(), rules->rules.size());
        recorder.family = rules;
    }

    const auto start = std::chrono::steady_clock::now();
    long checked = 0, violations = 0;
    int printed = 0;
    for (std::uint32_t seed = first_seed; checked < problems; ++seed) {
        CountingSource source(seed);
        recorder.source = &source;
        recorder.faults.clear();
        const RunResult result
            = counted ? run_frame(wrapped, options, source) : family.run(options, source);

        invariants::Report report;
        if (check)
            checked += check(result, options, report);
        else
            report.fail("no invariant check for the family");
        Mt19937Source plain(seed);
        if (family.run(options, plain).text != result.text)
            report.fail("the driver's sheet differs from the counted run");
        for (auto& fault : recorder.faults)
            report.fail(std::move(fault));
        if (!counted && source.draws() != 128 + (options.selection.is_mixed() ? 32 : 0))
            report.fail("fraction sheet made " + std::to_string(source.draws()) + " draws");

        violations += static_cast<long>(report.violations.size());
        for (const auto& why : report.violations)
            if (printed++ < 5)
                std::fprintf(stderr, "%s seed %u: %s\n", label.c_str(), seed, why.c_str());
        if (!check)
            break;
    }
    for (std::size_t i = 0; counted && i < rules->rules.size(); ++i) {
        const long seen = recorder.fewest_seen[i];
        if (seen != 0 && seen != rules->rules[i].fewest) {
            ++violations;
            std::fprintf(stderr, "%s: form %zu made at least %ld draws, not %d\n", label.c_str(),
                i + 1, seen, rules->rules[i].fewest);
        }
    }
    const double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-38s %10ld %10ld %8ld %8.2f\n", label.c_str(), checked, violations,
        recorder.longest_run, seconds);
    std::fflush(stdout);
    recorder.longest_run = 0;
    recorder.fewest_seen = {};
    return violations;
}

} // namespace

int main(int argc, char** argv)
{
    long problems = 1000000;
    char* end = nullptr;
    if (argc == 3 && std::string(argv[1]) == "--problems")
        problems = std::strtol(argv[2], &end, 10);
    if (argc != 1 && (argc != 3 || *end != '\0' || problems < 1)) {
        std::fprintf(
            stderr, "usage: quillora-soak [--problems N] (N problems per form, default 1000000)\n");
        return 2;
    }

    std::printf(
        "%-38s %10s %10s %8s %8s\n", "form", "problems", "violations", "redraws", "seconds");
    long total_violations = 0;
    std::uint32_t seed = 1;
    for (const FamilyEntry& family : families()) {
        std::vector<std::pair<std::string, FormSelection>> forms;
        for (std::size_t i = 0; i < family.forms.size(); ++i)
            forms.emplace_back(std::string(family.forms[i]), FormSelection::form(int(i) + 1));
        forms.emplace_back("mixed", FormSelection::mixed());
        for (const bool ticked : { false, true }) {
            for (const auto& [name, selection] : forms) {
                if (ticked && !family.takes_fraction_answers)
                    continue;
                const std::string label
                    = std::string(family.name) + "/" + name + (ticked ? "/fraction-answers" : "");
                total_violations += soak_form(family, label,
                    { .selection = selection, .fraction_answers_ok = ticked }, problems, seed);
                seed += 1000003; // each form its own run of seeds
            }
        }
    }
    std::printf("violations: %ld\n", total_violations);
    return total_violations == 0 ? 0 : 1;
}
