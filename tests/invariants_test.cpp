#include "dialog/catalogue.h"
#include "tests/invariants/sheet_checks.h"

#include <gtest/gtest.h>

#include <string>

using namespace quillora;
using namespace quillora::invariants;

namespace {

int violations(const FamilyEntry& family, const RunResult& result, const ProblemOptions& options)
{
    Report report;
    sheet_check(family.name)(result, options, report);
    return static_cast<int>(report.violations.size());
}

RunResult sheet(const FamilyEntry& family, const ProblemOptions& options, std::uint32_t seed)
{
    Mt19937Source source(seed);
    return family.run(options, source);
}

ProblemOptions form(int place, bool ticked = false)
{
    return { .selection = FormSelection::form(place), .fraction_answers_ok = ticked };
}

} // namespace

// The checks must fail on sheets that break them, or the soak's zero proves nothing.
TEST(Invariants, EveryFamilyHasACheckThatPassesItsOwnSheets)
{
    for (const FamilyEntry& family : families()) {
        ASSERT_NE(sheet_check(family.name), nullptr) << family.name;
        const ProblemOptions mixed { .selection = FormSelection::mixed() };
        EXPECT_EQ(violations(family, sheet(family, mixed, 3), mixed), 0) << family.name;
    }
}

TEST(Invariants, ASheetCheckedAsAnotherFormFails)
{
    for (const FamilyEntry& family : families()) {
        const int forms = static_cast<int>(family.forms.size());
        for (int made = 1; made <= forms; ++made) {
            const RunResult result = sheet(family, form(made), 11);
            for (int checked = 1; checked <= forms; ++checked) {
                if (checked == made)
                    continue;
                EXPECT_GT(violations(family, result, form(checked)), 0)
                    << family.name << " " << family.forms[std::size_t(made - 1)] << " as "
                    << family.forms[std::size_t(checked - 1)];
            }
        }
    }
}

TEST(Invariants, FractionalSolutionsFailWithTheBoxClear)
{
    const FamilyEntry& family = *find_family("equations");
    for (int place = 2; place <= 6; ++place) {
        const RunResult ticked = sheet(family, form(place, true), 5);
        EXPECT_EQ(violations(family, ticked, form(place, true)), 0);
        EXPECT_GT(violations(family, ticked, form(place, false)), 0) << "EQ" << place;
    }
}

TEST(Invariants, LayoutFaultsFail)
{
    for (const FamilyEntry& family : families()) {
        const ProblemOptions options = form(1);
        const RunResult good = sheet(family, options, 8);
        ASSERT_EQ(violations(family, good, options), 0) << family.name;

        RunResult short_end = good; // one line feed or blank too few at the end
        short_end.text.pop_back();
        EXPECT_GT(violations(family, short_end, options), 0) << family.name;

        RunResult shifted = good; // a blank more before the first problem's text
        const auto first_problem = shifted.text.find(u".)");
        ASSERT_NE(first_problem, Text::npos);
        shifted.text.insert(first_problem + 2, 1, u' ');
        EXPECT_GT(violations(family, shifted, options), 0) << family.name;

        RunResult resized = good;
        resized.font_size = resized.font_size ? std::optional<double>() : 12.0;
        EXPECT_GT(violations(family, resized, options), 0) << family.name;
    }
}
