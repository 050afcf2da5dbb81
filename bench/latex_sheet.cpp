// The same sheet (or its key) as a LaTeX document, for comparing typeset pages with what LaTeX
// sets from the same problems: the same title, name line, instruction, numbering, columns and
// label, each problem in display style (\dfrac, \left( \right)).
//
// usage: latex-sheet FAMILY FORM SEED a4|letter [KEY_COLUMNS]   (the key in that many columns)

#include "families/catalogue.h"
#include "sets/class_set.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <string>

using namespace quillora;

namespace {

void latex(const Maths& m, std::string& out)
{
    using Kind = Maths::Kind;
    switch (m.kind) {
    case Kind::Number:
        out += std::to_string(m.value);
        return;
    case Kind::Variable:
        out += to_utf8(m.text);
        return;
    case Kind::Words:
        out += "\\text{";
        out += to_utf8(m.text);
        out += '}';
        return;
    case Kind::Sign:
    case Kind::Minus:
        out += '-';
        return;
    case Kind::Plus:
        out += '+';
        return;
    case Kind::Times:
        out += "\\times ";
        return;
    case Kind::Divide:
        out += "\\div ";
        return;
    case Kind::Equals:
        out += '=';
        return;
    case Kind::Row:
    case Kind::Group: {
        // parentheses grow only around a fraction, as a writer of LaTeX would set them
        const bool tall = m.kind == Kind::Group
            && std::any_of(m.children.begin(), m.children.end(),
                [](const Maths& child) { return child.kind == Kind::Fraction; });
        if (m.kind == Kind::Group)
            out += tall ? "\\left(" : "(";
        for (const Maths& child : m.children)
            latex(child, out);
        if (m.kind == Kind::Group)
            out += tall ? "\\right)" : ")";
        return;
    }
    case Kind::Fraction:
    case Kind::Power:
        out += m.kind == Kind::Fraction ? "\\dfrac{" : "{";
        latex(m.children[0], out);
        out += m.kind == Kind::Fraction ? "}{" : "}^{";
        latex(m.children[1], out);
        out += '}';
        return;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        return 2;
    const Family& family = *find_family(argv[1]);
    ProblemOptions options { .selection = *parse_form(family, argv[2]) };
    const auto seed = static_cast<std::uint32_t>(std::stoul(argv[3]));
    const int key_columns = argc > 5 ? std::stoi(argv[5]) : 0;
    std::vector<Problem> problems;
    make_sheet(family, options, seed, &problems);

    std::cout << "\\documentclass[12pt]{article}\n\\usepackage[" << argv[4]
              << "paper,margin=0.75in]{geometry}\n\\usepackage{amsmath}\n"
                 "\\pagestyle{empty}\\setlength{\\parindent}{0pt}\n\\begin{document}\n";
    if (key_columns == 0)
        std::cout << "Name \\underline{\\hspace{2.5in}}\\qquad Date "
                     "\\underline{\\hspace{1.25in}}\\par\\medskip\n";
    std::string asked(instruction(family, options.selection));
    if (const auto x = asked.find(" x."); x != std::string::npos)
        asked.replace(x, 3, " $x$.");
    std::cout << "{\\Large\\bfseries " << to_utf8(family.title)
              << (key_columns > 0 ? " --- Answers" : "") << "}\\par\\smallskip\n"
              << asked << "\\par\\bigskip\n";
    auto formula = [](const Maths& maths) {
        std::string out = "$\\displaystyle ";
        latex(maths, out);
        return out + "$";
    };
    if (key_columns > 0) {
        // number, problem and answer, the answers of a column in line
        // rows as far apart as ours: room for stacked fractions where there are any
        std::function<bool(const Maths&)> stacked = [&](const Maths& m) {
            return m.kind == Maths::Kind::Fraction
                || std::any_of(m.children.begin(), m.children.end(), stacked);
        };
        const bool tall = std::any_of(problems.begin(), problems.end(),
            [&](const Problem& p) { return stacked(p.maths()) || stacked(p.answer()); });
        std::cout << "\\renewcommand{\\arraystretch}{" << (tall ? 2.2 : 1.4)
                  << "}\\begin{tabular}{@{}";
        for (int c = 0; c < key_columns; ++c)
            std::cout << (c ? "@{\\qquad}" : "") << "r@{~}l@{\\qquad}l";
        std::cout << "@{}}\n";
        for (std::size_t i = 0; i < problems.size(); ++i) {
            std::cout << i + 1 << ". & " << formula(problems[i].maths()) << " & "
                      << (family.task == Task::Solve ? "" : "$=$ ")
                      << formula(problems[i].answer());
            const bool last = (i + 1) % std::size_t(key_columns) == 0 || i + 1 == problems.size();
            std::cout << (last ? " \\\\\n" : " & ");
        }
        std::cout << "\\end{tabular}\\vfill";
    } else {
        for (std::size_t i = 0; i < problems.size(); ++i) {
            std::cout << "\\makebox[" << 1.0 / family.columns
                      << "\\textwidth][l]{\\makebox[1.5em][r]{" << i + 1 << ".}~"
                      << formula(problems[i].maths()) << "}";
            if ((i + 1) % std::size_t(family.columns) == 0 || i + 1 == problems.size())
                std::cout << "\\par\\vfill\n";
        }
    }
    std::cout << "\\hfill{\\small " << to_utf8(version_label(0, 1, seed)) << "}\n\\end{document}\n";
}
