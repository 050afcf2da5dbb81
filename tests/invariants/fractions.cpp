#include "tests/invariants/invariants.h"

#include "families/fractions/fractions.h"

namespace quillora::invariants {

namespace {

// A value right-aligned in a field: blanks, then 1 to 12 without a leading zero; else -1.
int field(const Text& f)
{
    const auto digits = f.find_first_not_of(u' ');
    if (digits == Text::npos || f.find_first_not_of(u"0123456789", digits) != Text::npos)
        return -1;
    const int v = std::stoi(to_utf8(f.substr(digits)));
    return v >= 1 && v <= 12 && number_text(v) == f.substr(digits) ? v : -1;
}

// The value right-aligned in a field of `width` blanks.
Text pad(int v, std::size_t width)
{
    const Text t = number_text(v);
    return Text(width - std::min(width, t.size()), u' ') + t;
}

const Text Signs = u"?+-\u00F7\u2022"; // by k

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
    for (std::size_t row = 0; row < 8; ++row) {
        const std::size_t at = 4 + 7 * row;
        const Text &top = lines[at], &middle = lines[at + 1], &bottom = lines[at + 2];
        if (!(lines[at + 3] + lines[at + 4] + lines[at + 5] + lines[at + 6]).empty())
            report.fail("fractions: text between rows after row " + std::to_string(row));
        if (top.size() != 92u || middle.size() != 92u || bottom.size() != 92u) {
            report.fail("fractions: row " + std::to_string(row) + " is not 92 characters wide");
            return found;
        }
        for (std::size_t c = 0; c < 92; c += 23) { // character 1 of the block
            const int n = static_cast<int>(4 * row + c / 23 + 1);
            const auto k = Signs.find(middle[c + 12], 1);
            const FractionExercise e { .a = field(top.substr(c + 4, 6)),
                .b = field(bottom.substr(c + 4, 6)),
                .c = field(top.substr(c + 15, 2)),
                .d = field(bottom.substr(c + 15, 2)),
                .k = k == Text::npos ? 0 : static_cast<int>(k) };
            // the block table: every character of the exercise's 23 columns
            const Text bars = u"\u2014\u2014";
            if (top.substr(c, 23)
                    != pad(n, 2) + u".)" + pad(e.a, 6) + Text(5, u' ') + pad(e.c, 2) + Text(6, u' ')
                || middle.substr(c, 23)
                    != Text(8, u' ') + bars + u"  " + Signs[std::size_t(e.k)] + u"  " + bars
                        + Text(6, u' ')
                || bottom.substr(c, 23)
                    != Text(4, u' ') + pad(e.b, 6) + Text(5, u' ') + pad(e.d, 2) + Text(6, u' '))
                report.fail("fractions: exercise " + std::to_string(n) + " breaks the block table");
            found.push_back(e);
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
    for (std::size_t n = 0; n < found.size(); ++n) {
        const FractionExercise& e = found[n];
        const std::string where = "fractions: exercise " + std::to_string(n + 1) + ": ";
        if (e.a < 1 || e.b < 1 || e.c < 1 || e.d < 1)
            report.fail(where + "a value not from 1 to 12");
        if (e.k == 0 || (expected_sign != 0 && e.k != expected_sign))
            report.fail(where + "sign " + std::to_string(e.k));
        else if (expected_sign == 0)
            report.mixed_forms.insert(e.k);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
