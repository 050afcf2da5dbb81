#pragma once

#include "engine/frame.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quillora {

/// Point size of a freshly loaded worksheet window, which a family that sets no size keeps.
inline constexpr double FreshWindowFontSize = 9.75;

/// One form of a family: everything the dialog, the tool, its help, manual page and completion,
/// and the web page show of it.
struct Form {
    /// The form's code, e.g. "EQ2"; the tool's FORM argument.
    std::string_view code {};
    /// What the form asks, in a teacher's words, e.g. "ax + b = c".
    std::string_view description {};
    /// What the pupil is to do, one short sentence as a teacher writes it under the title of a
    /// typeset page, e.g. "Solve for x.".
    std::string_view instruction {};
    /// Writes one problem; none where the family's own driver writes the form.
    Generator generator = nullptr;
    /// Whether the form reads "Fraction Answers OK".
    bool reads_fraction_answers = false;
    /// Builds a problem's answer from the numbers its generator recorded.
    MathsWriter answer = nullptr;
    /// Builds the problem itself from the same numbers, as a mathematician writes it.
    MathsWriter maths = nullptr;
    /// The caption of the form's option in the dialog, e.g. "(x+a)(x+b)"; none shows the
    /// description.
    std::string_view caption {};
    /// The picture the dialog draws instead of a caption, as text with each fraction in braces,
    /// e.g. "{a/b}x + c = d"; none for a captioned option.
    std::string_view picture {};
};

/// A problem as a run made it: the form that made it (for "mixed" the one drawn, for the
/// fractions grid the exercise's operation) and the numbers its generator recorded.
struct Problem {
    const Form* form = nullptr;
    ProblemNumbers numbers {};

    Maths maths() const { return form->maths(numbers); }
    Maths answer() const { return form->answer(numbers); }
};

/// What a family's problems ask the pupil to do, which decides how typed answers are marked.
enum class Task : unsigned char {
    /// Work out a value: a fraction in lowest terms, a whole or a mixed number.
    Evaluate,
    /// Solve for x: "x = p/q" in lowest terms, "no solution" or "every x".
    Solve,
    /// Multiply out: a polynomial with like terms collected.
    Expand,
    /// Factor completely over the integers.
    Factor,
};

struct Family;

/// Builds a worksheet of the family from the source, which the caller has seeded; when problems
/// is not null, also appends a record of each problem to it, in problem order.
using Driver
    = Text (*)(const Family&, const ProblemOptions&, RandomSource&, std::vector<Problem>* problems);

/// Builds a worksheet with the frame every driver but the fraction-arithmetic one follows:
/// title and line feeds, then per problem the number prefix, the selected generator (or one
/// drawn for "mixed"), and the layout rule.
Text run_frame(const Family& family, const ProblemOptions& options, RandomSource& random,
    std::vector<Problem>* problems);

/// One problem family: everything the programs and the web page know of it.
struct Family {
    /// Command-line name, e.g. "binomials".
    std::string_view name {};
    /// The family's name in menus: the dialog's option and the web page's list, e.g.
    /// "Multiplying Binomials".
    std::string_view menu_name {};
    /// What the dialog calls the choice of form, the caption of the family's frame, e.g.
    /// "Binomials" ("Operation" for fractions).
    std::string_view forms_caption {};
    /// The worksheet's first line.
    TextView title {};
    /// What "mixed" sheets ask the pupil to do, as a form's instruction.
    std::string_view instruction {};
    /// The point size a run gives the worksheet window before it draws, or none when the family
    /// keeps the window's size.
    std::optional<double> font_size {};
    /// Forms in the family's order, which is also the numbering of the "mixed" draw.
    std::span<const Form> forms {};
    /// What every problem of the family asks.
    Task task = Task::Solve;
    /// Place of the form used when none is named, or none when a form is required. A family with
    /// a default always has a form selected, so it offers no "none".
    std::optional<int> default_form {};
    int count = 30;
    /// Problems across a row of a typeset page, numbered row by row.
    int columns = 2;
    /// Blanks after a problem number's ".)" from 1 to 9; one fewer from 10 on, so every prefix
    /// is as wide.
    int prefix_blanks = 4;
    Layout layout { .column_width = 40, .line_feeds = 3 };
    int title_line_feeds = 4;
    Driver driver = run_frame;

    /// Whether any form reads the "Fraction Answers OK" box.
    constexpr bool takes_fraction_answers() const
    {
        for (const Form& form : forms) {
            if (form.reads_fraction_answers)
                return true;
        }
        return false;
    }
    /// The point size of the family's worksheets: its own, or a fresh window's.
    constexpr double sheet_font_size() const { return font_size.value_or(FreshWindowFontSize); }
};

/// The instruction of a sheet of the family: the selected form's, the family's for "mixed",
/// none for "none".
std::string_view instruction(const Family& family, FormSelection selection);

/// Appends the number prefix of problem i: its digits and the family's literal.
void append_number_prefix(Text& line, const Family& family, int i);

/// The worksheet of the family for the options, drawn from a production source seeded once with
/// the seed: what the dialog, the tool and the web page each make. When problems is not null, a
/// record of each problem is appended to it, in problem order (problem n at n - 1), from which
/// the problem and its answer are built as mathematics; the worksheet is the same.
Text make_sheet(const Family& family, const ProblemOptions& options, std::uint32_t seed,
    std::vector<Problem>* problems = nullptr);

} // namespace quillora
