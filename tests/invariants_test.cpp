#include "dialog/catalogue.h"
#include "tests/invariants/invariants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

using namespace quillora;
using namespace quillora::invariants;

namespace {

RunResult sheet(const FamilyEntry& family, const ProblemOptions& options, std::uint32_t seed)
{
    Mt19937Source source(seed);
    return family.run(options, source);
}

Report check(const FamilyEntry& family, const RunResult& result, const ProblemOptions& options)
{
    Report report;
    sheet_check(family.name)(result, options, report);
    return report;
}

int violations(const FamilyEntry& family, const RunResult& result, const ProblemOptions& options)
{
    return static_cast<int>(check(family, result, options).violations.size());
}
ProblemOptions form(int place, bool ticked = false)
{
    return { .selection = FormSelection::form(place), .fraction_answers_ok = ticked };
}

} // namespace

// Every form (with the box clear and ticked where it applies) keeps its invariants; "mixed" uses
// every form and only them; a seed always gives the same sheet and different seeds different ones.
TEST(Invariants, EveryFormOfEveryFamilyOverManySeeds)
{
    for (const FamilyEntry& family : families()) {
        ASSERT_NE(sheet_check(family.name), nullptr) << family.name;
        const int forms = static_cast<int>(family.forms.size());
        const int problems = family.name == "fractions" ? 32
            : family.name == "fraction-equations"       ? 10
                                                        : 30;
        for (const bool ticked : { false, true }) {
            if (ticked && !family.takes_fraction_answers)
                continue;
            for (int place = 1; place <= forms; ++place) {
                for (std::uint32_t seed = 0; seed < 200; ++seed) {
                    const auto options = form(place, ticked);
                    const RunResult result
                        = sheet(family, options, seed * 7919 + std::uint32_t(place) * 31 + ticked);
                    Report report;
                    ASSERT_EQ(sheet_check(family.name)(result, options, report), problems);
                    ASSERT_EQ(report.violations, std::vector<std::string> {})
                        << family.name << " " << family.forms[std::size_t(place - 1)] << " seed "
                        << seed << (ticked ? " ticked" : "");
                }
            }
            const ProblemOptions mixed { .selection = FormSelection::mixed(),
                .fraction_answers_ok = ticked };
            std::set<int> seen;
            std::set<Text> sheets;
            for (std::uint32_t seed = 0; seed < 100; ++seed) {
                const RunResult result = sheet(family, mixed, seed);
                const Report report = check(family, result, mixed);
                ASSERT_TRUE(report.ok()) << family.name << ": " << report.violations.front();
                seen.insert(report.mixed_forms.begin(), report.mixed_forms.end());
                sheets.insert(result.text);
                EXPECT_EQ(sheet(family, mixed, seed).text, result.text);
            }
            EXPECT_EQ(seen.size(), std::size_t(forms)) << family.name;
            EXPECT_EQ(*seen.rbegin(), forms) << family.name;
            EXPECT_EQ(sheets.size(), 100u) << family.name;
        }
    }
}

namespace {

// A sheet's problems in order, each as its text after the number prefix with blank runs
// collapsed (a stacked fraction problem spans lines); a fractions exercise as its numbers and
// sign.
std::vector<std::string> problems(const FamilyEntry& family, const RunResult& result)
{
    std::vector<std::string> found;
    if (family.name == "fractions") {
        Report ignored;
        for (const FractionExercise& e : fraction_exercises(result.text, ignored))
            found.push_back(std::to_string(e.a) + '/' + std::to_string(e.b) + ' '
                + std::to_string(e.k) + ' ' + std::to_string(e.c) + '/' + std::to_string(e.d));
        return found;
    }
    const std::string text = to_utf8(result.text);
    const std::regex prefix("[0-9]+\\.\\) *");
    std::sregex_token_iterator part(text.begin(), text.end(), prefix, -1), end;
    for (++part; part != end; ++part) // what precedes problem 1 is the title
        found.push_back(std::regex_replace(part->str(), std::regex("\\s+"), " "));
    return found;
}

std::size_t first_repeat(const std::vector<std::string>& list)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (std::find(list.begin(), list.begin() + std::ptrdiff_t(i), list[i])
            != list.begin() + std::ptrdiff_t(i))
            return i;
    return list.size();
}

} // namespace

// A distinct sheet keeps every invariant and has no problem twice; it is the plain sheet of its
// seed up to the plain sheet's first repeat (fractions: up to that repeat's row), and the whole
// plain sheet when that has none.
TEST(Invariants, DistinctSheetsRepeatNothingAndFollowThePlainDraws)
{
    for (const FamilyEntry& family : families()) {
        std::vector<FormSelection> selections { FormSelection::mixed() };
        for (int place = 1; place <= static_cast<int>(family.forms.size()); ++place)
            selections.push_back(FormSelection::form(place));
        for (const FormSelection selection : selections) {
            const ProblemOptions plain { .selection = selection };
            const ProblemOptions distinct { .selection = selection, .distinct = true };
            int taken_back = 0;
            for (std::uint32_t seed = 0; seed < 40; ++seed) {
                const RunResult made = sheet(family, distinct, seed);
                const RunResult drawn = sheet(family, plain, seed);
                const auto mine = problems(family, made), theirs = problems(family, drawn);
                const std::string where = std::string(family.name) + " form "
                    + std::to_string(selection.place()) + " seed " + std::to_string(seed);
                ASSERT_EQ(violations(family, made, distinct), 0) << where;
                ASSERT_EQ(first_repeat(mine), mine.size()) << where;
                std::size_t same = first_repeat(theirs);
                if (same == theirs.size()) {
                    ASSERT_EQ(made.text, drawn.text) << where;
                    continue;
                }
                ++taken_back;
                if (family.name == "fractions")
                    same -= same % 4;
                ASSERT_TRUE(
                    std::equal(theirs.begin(), theirs.begin() + std::ptrdiff_t(same), mine.begin()))
                    << where;
                ASSERT_NE(mine[same], theirs[same]) << where;
            }
            if (family.name == "factoring" && selection.place() == 6) { // DOTS repeats most
                EXPECT_GT(taken_back, 30);
            }
        }
    }
}
