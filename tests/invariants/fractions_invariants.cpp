#include "tests/invariants/fractions_invariants.h"

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
    return v;
}

bool blanks(const Text& line, std::size_t from, std::size_t to)
{
    return line.substr(from, to - from) == Text(to - from, u' ');
}

} // namespace

std::vector<Text> split_text_lines(const Text& text)
{
    std::vector<Text> lines;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(u'\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == Text::npos)
            return lines;
        start = end + 1;
    }
}

// Checks a whole sheet against the block table (every character of every line) and returns its
// exercises in reading order, k 0 for an unknown sign.
std::vector<FractionExercise> fraction_exercises(const Text& text, Report& report)
{
    std::vector<FractionExercise> found;
    const auto lines = split_text_lines(text);
    // five line feeds after each of the 8 rows
    if (lines.size() != 4u + 8 * 7 + 1) {
        report.fail("fractions: " + std::to_string(lines.size()) + " lines, not 61");
        return found;
    }
    if (lines[0] + u"|" + lines[1] + lines[2] + lines[3] != u"Fractions|")
        report.fail("fractions: title lines");
    const Text bar = u"\u2014\u2014";
    const std::map<char16_t, int> signs
        = { { u'+', 1 }, { u'-', 2 }, { u'\u00F7', 3 }, { u'\u2022', 4 } };
    for (std::size_t row = 0; row < 8; ++row) {
        const std::size_t at = 4 + 7 * row;
        const Text& top = lines[at];
        const Text& middle = lines[at + 1];
        const Text& bottom = lines[at + 2];
        for (std::size_t gap = 3; gap < 7 && at + gap < lines.size(); ++gap)
            if (!lines[at + gap].empty())
                report.fail("fractions: text between rows after row " + std::to_string(row));
        if (top.size() != 92u || middle.size() != 92u || bottom.size() != 92u) {
            report.fail("fractions: row " + std::to_string(row) + " is not 92 characters wide");
            return found;
        }
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t c = 23 * i; // character 1 of the block
            const int n = static_cast<int>(4 * row + i + 1);
            const std::string where = "fractions: exercise " + std::to_string(n) + ": ";
            Text number = n < 10 ? Text(u" ") : Text();
            append_number(number, n);
            number += u".)";
            if (top.substr(c, 4) != number)
                report.fail(where + "number");
            if (!(blanks(top, c + 10, c + 15) && blanks(top, c + 17, c + 23))
                || !(blanks(middle, c, c + 8) && blanks(middle, c + 10, c + 12)
                    && blanks(middle, c + 13, c + 15) && blanks(middle, c + 17, c + 23))
                || !(blanks(bottom, c, c + 4) && blanks(bottom, c + 10, c + 15)
                    && blanks(bottom, c + 17, c + 23)))
                report.fail(where + "a blank column is not blank");
            if (middle.substr(c + 8, 2) + middle.substr(c + 15, 2) != bar + bar)
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

int check_fractions_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    if (result.font_size)
        report.fail("fractions: a font size is set");
    // the sign each operation writes, in the k numbering of "mixed"
    const auto fixed = fixed_operation(options.selection);
    const int expected_sign = !fixed       ? 0
        : *fixed == Operation::Addition    ? 1
        : *fixed == Operation::Subtraction ? 2
        : *fixed == Operation::Division    ? 3
                                           : 4;
    const auto found = fraction_exercises(result.text, report);
    if (found.size() != 32u)
        report.fail("fractions: " + std::to_string(found.size()) + " exercises, not 32");
    int n = 0;
    for (const FractionExercise& e : found) {
        const std::string where = "fractions: exercise " + std::to_string(++n) + ": ";
        for (const int v : { e.a, e.b, e.c, e.d }) {
            if (v < 1 || v > 12)
                report.fail(where + "value " + std::to_string(v));
        }
        if (e.k == 0 || (expected_sign != 0 && e.k != expected_sign))
            report.fail(where + "sign " + std::to_string(e.k));
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
