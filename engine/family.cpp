#include "engine/family.h"

#include <algorithm>
#include <vector>

namespace quillora {

void append_number_prefix(Text& line, const Family& family, int i)
{
    append_number(line, i);
    line += u".)";
    line.append(
        static_cast<std::size_t>(i < 10 ? family.prefix_blanks : family.prefix_blanks - 1), u' ');
}

Text run_frame(const Family& family, const ProblemOptions& options, RandomSource& random,
    std::vector<Problem>* problems)
{
    Frame frame(random, options);
    Text& text = frame.worksheet_text();
    // room for the largest sheets, so the text is not moved as it grows
    text.reserve(2048);
    text = family.title;
    text.append(static_cast<std::size_t>(family.title_line_feeds), u'\n');

    const FormSelection selection = options.selection;
    const int forms = static_cast<int>(family.forms.size());
    std::vector<Text> made; // problems so far, without their number prefixes (distinct only)
    for (int i = 1; i <= family.count; ++i) {
        const std::size_t before = text.size();
        const Form* made_by = nullptr;
        for (;;) {
            // the problem line keeps its storage from problem to problem
            Text& line = frame.problem_line();
            line.clear();
            append_number_prefix(line, family, i);
            const std::size_t prefix = line.size();

            if (selection.place() >= 1 && selection.place() <= forms)
                made_by = &family.forms[static_cast<std::size_t>(selection.place() - 1)];
            if (selection.is_mixed() && forms > 0)
                made_by = &family.forms[static_cast<std::size_t>(frame.draw(forms, 1) - 1)];
            if (made_by)
                made_by->generator(frame);

            if (!options.distinct || selection.is_none())
                break;
            Text problem = line.substr(prefix);
            if (std::find(made.begin(), made.end(), problem) == made.end()) {
                made.push_back(std::move(problem));
                break;
            }
            text.resize(before); // a repeat: take it back and make problem i again
        }
        // the numbers are those of the problem that stands, after any take-back
        if (problems && made_by)
            problems->push_back({ made_by, frame.numbers() });

        const Layout& layout = family.layout;
        const bool right_column = layout.column_width == 0 || i % 2 == 0;
        if (right_column) {
            text.append(static_cast<std::size_t>(layout.line_feeds), u'\n');
        } else {
            const auto n = static_cast<int>(frame.problem_line().size());
            if (layout.column_width > n)
                text.append(static_cast<std::size_t>(layout.column_width - n), u' ');
        }
    }
    return std::move(text);
}

std::string_view instruction(const Family& family, FormSelection selection)
{
    if (selection.is_mixed())
        return family.instruction;
    const int place = selection.place();
    if (place < 1 || place > static_cast<int>(family.forms.size()))
        return {};
    return family.forms[static_cast<std::size_t>(place - 1)].instruction;
}

Text make_sheet(const Family& family, const ProblemOptions& options, std::uint32_t seed,
    std::vector<Problem>* problems)
{
    Mt19937Source random(seed);
    return family.driver(family, options, random, problems);
}

} // namespace quillora
