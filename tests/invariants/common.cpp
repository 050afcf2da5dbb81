#include "tests/invariants/invariants.h"

namespace quillora::invariants {

SheetCheck sheet_check(std::string_view family)
{
    return family == "fractions"         ? check_fractions_sheet
        : family == "equations"          ? check_equations_sheet
        : family == "fraction-equations" ? check_fraction_equations_sheet
        : family == "binomials"          ? check_binomials_sheet
        : family == "factoring"          ? check_factoring_sheet
                                         : nullptr;
}

std::vector<std::string> two_column_problems(
    const RunResult& result, std::u16string_view title, std::size_t prefix, Report& report)
{
    std::vector<std::string> found;
    const std::string family = to_utf8(title) + ": ";
    if (result.font_size != 12.0)
        report.fail(family + "font size");
    const auto lines = split_lines(result.text);
    if (lines.size() != 50u) {
        report.fail(family + std::to_string(lines.size()) + " lines, not 50");
        return found;
    }
    if (lines[0] != title || !(lines[1] + lines[2] + lines[3]).empty())
        report.fail(family + "title lines");
    if (!lines[49].empty())
        report.fail(family + "text after the last row");
    for (std::size_t row = 0; row < 15; ++row) {
        const Text& line = lines[4 + 3 * row];
        if (!(lines[5 + 3 * row] + lines[6 + 3 * row]).empty())
            report.fail(family + "text between rows: " + to_utf8(line));
        for (std::size_t side = 0; side < 2; ++side) {
            Text p = side ? (line.size() > 40 ? line.substr(40) : Text()) : line.substr(0, 40);
            if (!side) // a left problem is padded with blanks to column 41
                p.resize(p.find_last_not_of(u' ') + 1);
            Text number = number_text(static_cast<long>(2 * row + side + 1)) + u".)";
            number.resize(prefix, u' ');
            if (p.size() >= 40u || p.substr(0, prefix) != number)
                report.fail(family + "problem " + to_utf8(number) + " misplaced: " + to_utf8(line));
            found.push_back(to_utf8(p.substr(std::min(prefix, p.size()))));
        }
    }
    return found;
}

void check_problem(int place, int forms, bool exactly_one,
    const std::function<std::string(int)>& why, const std::string& shown, Report& report)
{
    if (place != 0) {
        if (const std::string broken = why(place); !broken.empty())
            report.fail(shown + ": form " + std::to_string(place) + ": " + broken);
        return;
    }
    std::vector<int> matched;
    for (int form = 1; form <= forms; ++form) {
        if (why(form).empty())
            matched.push_back(form);
    }
    if (matched.size() == 1)
        report.mixed_forms.insert(matched.front());
    else if (matched.empty() || exactly_one)
        report.fail(shown + ": mixed: " + std::to_string(matched.size()) + " forms write it");
}

} // namespace quillora::invariants
