#pragma once

#include "engine/maths.h"
#include "engine/random_source.h"
#include "engine/text.h"

#include <array>
#include <numeric>

namespace quillora {

/// The selected option of a family's form frame: nothing, one form (by its 1-based place in the
/// family's order), or "mixed". The options of a frame form one group, so only one is selected.
class FormSelection {
public:
    static constexpr FormSelection none() { return FormSelection(0); }
    static constexpr FormSelection form(int place) { return FormSelection(place); }
    static constexpr FormSelection mixed() { return FormSelection(Mixed); }

    constexpr bool is_none() const { return m_place == 0; }
    constexpr bool is_mixed() const { return m_place == Mixed; }
    /// The 1-based place of the selected form, or 0 when none or "mixed" is selected.
    constexpr int place() const { return is_mixed() ? 0 : m_place; }

    friend constexpr bool operator==(FormSelection, FormSelection) = default;

private:
    static constexpr int Mixed = -1;
    constexpr explicit FormSelection(int place)
        : m_place(place)
    {
    }
    int m_place;
};

/// The caption of the box that allows fractions as answers, in the dialog and on the web page.
inline constexpr std::string_view FractionAnswersCaption = "Fraction Answers OK";

/// The dialog's option states that a run reads, as plain data.
struct ProblemOptions {
    FormSelection selection = FormSelection::none();
    /// "Fraction Answers OK" (read by the linear-equation generators).
    bool fraction_answers_ok = false;
    /// No problem twice on a sheet: a problem that repeats an earlier one is taken back and made
    /// again, the draws continuing. Off in the window program, which makes sheets as drawn.
    bool distinct = false;
};

/// Two em dashes: the bar of every stacked fraction on the sheets.
inline constexpr TextView FractionBar = u"\u2014\u2014";

/// A fraction as drawn, numerator and denominator.
struct Fraction {
    int num;
    int den;
};

/// Divides p and q by their greatest common divisor (not both 0).
template <typename Integer> constexpr void reduce(Integer& p, Integer& q)
{
    const Integer g = std::gcd(p, q);
    p /= g;
    q /= g;
}

/// A multiple of x as the sheets write it: "x" for 1, "-x" for -1, else the number and "x".
struct XTerm {
    int coefficient;
};

/// A later term: " + " or " - " and the magnitude, then the suffix; nothing for 0.
struct SignedTerm {
    int value;
    TextView suffix = {};
};

/// The numbers a generator records with its problem, as the problem writes them, from which its
/// form writes the problem and its answer as mathematics. Their meaning is the form's own, e.g.
/// p, q, r, s of (px + q)(rx + s).
using ProblemNumbers = std::array<int, 8>;

/// Builds a problem, or its answer, as mathematics from the numbers its generator recorded.
using MathsWriter = Maths (*)(const ProblemNumbers&);

/// The working state of one run, passed to every generator.
///
/// Generator contract: on entry the problem line holds exactly the number prefix. A generator
/// appends its problem to the problem line and then, as its last step, calls commit() once with
/// the problem's numbers, which appends the whole problem line to the worksheet text. It writes
/// nothing else into the worksheet text; the blanks and line feeds between problems belong to
/// the driver.
class Frame {
public:
    Frame(RandomSource& random, const ProblemOptions& options)
        : m_random(random)
        , m_options(options)
    {
    }

    /// floor(n * r) + m for a fresh r.
    int draw(int n, int m) { return quillora::draw(m_random, n, m); }
    /// One draw: " + " when r is below one half, else " - ".
    TextView sign();

    const ProblemOptions& options() const { return m_options; }

    Text& worksheet_text() { return m_worksheet_text; }
    Text& problem_line() { return m_problem_line; }

    /// Appends literals, numbers (plain number text), x terms and signed terms to the problem
    /// line.
    template <typename... Parts> void append(const Parts&... parts) { (append_one(parts), ...); }

    /// Appends the whole problem line to the worksheet text and keeps the problem's numbers.
    void commit(const ProblemNumbers& numbers = {})
    {
        m_numbers = numbers;
        m_worksheet_text += m_problem_line;
    }
    /// The numbers of the problem committed last.
    const ProblemNumbers& numbers() const { return m_numbers; }

private:
    void append_one(TextView literal) { m_problem_line += literal; }
    void append_one(const char16_t* literal) { m_problem_line += literal; }
    void append_one(int number) { append_number(m_problem_line, number); }
    void append_one(XTerm term)
    {
        if (term.coefficient == -1)
            m_problem_line += u'-';
        else if (term.coefficient != 1)
            append_number(m_problem_line, term.coefficient);
        m_problem_line += u'x';
    }
    void append_one(SignedTerm term)
    {
        if (term.value == 0)
            return;
        m_problem_line += term.value < 0 ? u" - " : u" + ";
        append_number(
            m_problem_line, term.value < 0 ? -static_cast<long long>(term.value) : term.value);
        m_problem_line += term.suffix;
    }

    RandomSource& m_random;
    const ProblemOptions& m_options;
    Text m_worksheet_text;
    Text m_problem_line;
    ProblemNumbers m_numbers {};
};

using Generator = void (*)(Frame&);

/// How problems are laid out after each generator returns.
struct Layout {
    /// Two-column rule: after an odd problem pad the worksheet text with blanks to this width
    /// (measured on the problem line); 0 puts every problem on a row of its own.
    int column_width;
    /// Line feeds that end a row.
    int line_feeds;
};

} // namespace quillora
