#include "tests/invariants/invariants.h"

#include "families/fractions/fractions.h"

#include <map>

namespace quillora::invariants {

namespace {

// A value right-aligned in [from, to): blanks, then 1 to 12 without a leading zero; else -1.
int field(const Text& line, std::size_t from, std::size_t to)
{
    const Text f = line.substr(from, to - from);
    const auto digits = f.find_first_not_of(u' ');
    if (digits == Text::npos || f[digits] == u'0' || f.size() - digits > 2)
        return -1;
    int v = 0;
    for (std::size_t i = digits; i < f.size(); ++i) {
        if (f[i] < u'0' || f[i] > u'9')
            return -1;
        v = v * 10 + (f[i] - u'0');
    }
    return v <= 12 ? v : -1;
}

// Whether every character in the column ranges [from, to) is a blank.
bool blanks(const Text& line, std::initializer_list<std::pair<std::size_t, std::size_t>> ranges)
{
    for (const auto& [from, to] : ranges) {
        if (line.substr(from, to - from) != Text(to - from, u' '))
            return false;
    }
    return true;
}

} // namespace

std::vector<FractionExercise> fraction_exercises(const Text& text, Report& report)
{
    std::vector<FractionExercise> found;
    const auto lines = split_lines(text);
    // five line feeds after each of the 8 rows
    if (lines.size() != 4u + 8 * 7 + 1) {
        report.fail("fractions: " + std::to_string(lines.size()) + " lines, not 61");
        return found;
    }
    if (lines[0] + u"|" + lines[1] + lines[2] + lines[3] + lines[60] != u"Fractions|")
        report.fail("fractions: title lines or text after the last row");
    const std::map<char16_t, int> signs
        = { { u'+', 1 }, { u'-', 2 }, { u'\u00F7', 3 }, { u'\u2022', 4 } };
    for (std::size_t row = 0; row < 8; ++row) {
        const std::size_t at = 4 + 7 * row;
        const Text &top = lines[at], &middle = lines[at + 1], &bottom = lines[at + 2];
        for (std::size_t gap = 3; gap < 7 && at + gap < lines.size(); ++gap)
            if (!lines[at + gap].empty())
                report.fail("fractions: text between rows after row " + std::to_string(row));
        if (top.size() != 92u || middle.size() != 92u || bottom.size() != 92u) {
            report.fail("fractions: row " + std::to_string(row) + " is not 92 characters wide");
            return found;
        }
        for (std::size_t c = 0; c < 92; c += 23) { // character 1 of the block
            const int n = static_cast<int>(4 * row + c / 23 + 1);
            const std::string where = "fractions: exercise " + std::to_string(n) + ": ";
            Text number = n < 10 ? Text(u" ") : Text();
            append_number(number, n);
            if (top.substr(c, 4) != number + u".)")
                report.fail(where + "number");
            if (!blanks(top, { { c + 10, c + 15 }, { c + 17, c + 23 } })
                || !blanks(middle,
                    { { c, c + 8 }, { c + 10, c + 12 }, { c + 13, c + 15 }, { c + 17, c + 23 } })
                || !blanks(bottom, { { c, c + 4 }, { c + 10, c + 15 }, { c + 17, c + 23 } }))
                report.fail(where + "a blank column is not blank");
            if (middle.substr(c + 8, 2) + middle.substr(c + 15, 2) != u"\u2014\u2014\u2014\u2014")
                report.fail(where + "bars");
            const auto sign = signs.find(middle[c + 12]);
            found.push_back({ .a = field(top, c + 4, c + 10),
                .b = field(bottom, c + 4, c + 10),
                .c = field(top, c + 15, c + 17),
                .d = field(bottom, c + 15, c + 17),
                .k = sign == signs.end() ? 0 : sign->second });
        }
    }
    return found;
}

// The block table, no font size, every value from 1 to 12, and the selected operation's sign on
// every exercise (for "mixed", one of the four).
int check_fractions_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    if (result.font_size)
        report.fail("fractions: a font size is set");
    const auto fixed = fixed_operation(options.selection);
    const int expected_sign = !fixed       ? 0
        : *fixed == Operation::Addition    ? 1
        : *fixed == Operation::Subtraction ? 2
        : *fixed == Operation::Division    ? 3
                                           : 4;
    const auto found = fraction_exercises(result.text, report);
    if (found.size() != 32u)
        report.fail("fractions: " + std::to_string(found.size()) + " exercises, not 32");
    for (std::size_t n = 0; n < found.size(); ++n) {
        const FractionExercise& e = found[n];
        const std::string where = "fractions: exercise " + std::to_string(n + 1) + ": ";
        if (e.a < 1 || e.b < 1 || e.c < 1 || e.d < 1)
            report.fail(where + "a value not from 1 to 12");
        if (e.k == 0 || (expected_sign != 0 && e.k != expected_sign))
            report.fail(where + "sign " + std::to_string(e.k));
        if (e.k != 0 && expected_sign == 0)
            report.mixed_forms.insert(e.k);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
