#include "families/fractions/fractions.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quillora {

namespace {

constexpr int Rows = 8;
constexpr int Across = 4;
constexpr int RowLineFeeds = 5;

// An exercise as a distinct sheet compares it: its four numbers and its operation.
using Exercise = std::array<int, 5>;

// A blank run that keeps a value's last digit in place: one blank fewer for 10 and above.
void append_aligned(Text& text, int value, std::size_t blanks_below_10)
{
    text.append(value < 10 ? blanks_below_10 : blanks_below_10 - 1, u' ');
    text += number_text(value);
}

// One row of four exercises, numbered from first. The draws come a and c of every exercise,
// then the operation draws ("mixed" only), then b and d of every exercise.
std::array<Exercise, 4> fraction_row(Frame& f, int first, std::optional<Operation> fixed)
{
    Text& text = f.worksheet_text();
    std::array<Fraction, Across> left {};
    std::array<Fraction, Across> right {};

    for (int i = 0; i < Across; ++i) {
        left[i].num = f.draw(12, 1);
        right[i].num = f.draw(12, 1);
        const int number = first + i;
        if (number < 10)
            text += u' ';
        text += number_text(number);
        text += u".)";
        append_aligned(text, left[i].num, 5);
        append_aligned(text, right[i].num, 6);
        text.append(6, u' ');
    }
    text += u'\n';

    std::array<Operation, Across> operations {};
    for (int i = 0; i < Across; ++i) {
        const Operation operation = fixed ? *fixed : mixed_operation(f.draw(4, 1));
        operations[i] = operation;
        text.append(8, u' ');
        text += FractionBar;
        text += u' ';
        text += operation_sign(operation);
        text += u' ';
        text += FractionBar;
        text.append(6, u' ');
    }
    text += u'\n';

    for (int i = 0; i < Across; ++i) {
        left[i].den = f.draw(12, 1);
        right[i].den = f.draw(12, 1);
        append_aligned(text, left[i].den, 9);
        append_aligned(text, right[i].den, 6);
        text.append(6, u' ');
    }
    text.append(RowLineFeeds, u'\n');

    std::array<Exercise, Across> exercises {};
    for (int i = 0; i < Across; ++i)
        exercises[i] = { left[i].num, left[i].den, right[i].num, right[i].den,
            static_cast<int>(operations[i]) };
    return exercises;
}

} // namespace

std::optional<Operation> fixed_operation(FormSelection selection)
{
    if (selection.is_mixed())
        return std::nullopt;
    const int place = selection.place();
    if (place < 1 || place > static_cast<int>(fractions_family.forms.size()))
        return static_cast<Operation>(*fractions_family.default_form - 1);
    return static_cast<Operation>(place - 1);
}

Operation mixed_operation(int k)
{
    switch (k) {
    case 1:
        return Operation::Addition;
    case 2:
        return Operation::Subtraction;
    case 3:
        return Operation::Division;
    default:
        return Operation::Multiplication;
    }
}

TextView operation_sign(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
        return u" + ";
    case Operation::Subtraction:
        return u" - ";
    case Operation::Multiplication:
        return u" \u2022 ";
    case Operation::Division:
        return u" \u00F7 ";
    }
    return u" + ";
}

Text fractions(const Family& family, const ProblemOptions& options, RandomSource& random,
    std::vector<Problem>* problems)
{
    Frame frame(random, options);
    Text& text = frame.worksheet_text();
    text = family.title;
    text.append(static_cast<std::size_t>(family.title_line_feeds), u'\n');

    const std::optional<Operation> fixed = fixed_operation(options.selection);
    std::vector<Exercise> made; // exercises so far (distinct only)
    for (int row = 0; row < Rows; ++row) {
        const std::size_t before = text.size();
        std::array<Exercise, Across> exercises;
        for (;;) {
            exercises = fraction_row(frame, row * Across + 1, fixed);
            if (!options.distinct)
                break;
            // A row with an exercise seen before, in an earlier row or this one, is made again
            // whole, as its four exercises are drawn together.
            const std::size_t earlier = made.size();
            for (const Exercise& exercise : exercises) {
                if (std::find(made.begin(), made.end(), exercise) != made.end())
                    break;
                made.push_back(exercise);
            }
            if (made.size() == earlier + Across)
                break;
            made.resize(earlier);
            text.resize(before);
        }
        if (problems) {
            for (const Exercise& e : exercises)
                problems->push_back({ &family.forms[static_cast<std::size_t>(e[4])],
                    { e[0], e[1], e[2], e[3], e[4] } });
        }
    }
    return std::move(text);
}

namespace {

// Every exercise records a, b, c, d of a/b op c/d and the operation.
Maths exercise(const ProblemNumbers& v)
{
    static constexpr Maths::Kind Symbols[]
        = { Maths::Kind::Plus, Maths::Kind::Minus, Maths::Kind::Times, Maths::Kind::Divide };
    return Maths::row({ Maths::fraction(Maths::number(v[0]), Maths::number(v[1])),
        Maths::symbol(Symbols[v[4]]), Maths::fraction(Maths::number(v[2]), Maths::number(v[3])) });
}

// The value in lowest terms, and after an improper fraction its mixed number, e.g.
// "17/6 = 2 5/6".
Maths value(const ProblemNumbers& v)
{
    const long long a = v[0], b = v[1], c = v[2], d = v[3];
    long long p = 0, q = b * d;
    switch (static_cast<Operation>(v[4])) {
    case Operation::Addition:
        p = a * d + c * b;
        break;
    case Operation::Subtraction:
        p = a * d - c * b;
        break;
    case Operation::Multiplication:
        p = a * c;
        break;
    case Operation::Division:
        p = a * d;
        q = b * c;
        break;
    }
    reduce(p, q);
    Maths out = Maths::row();
    out += rational(p, q);
    const long long whole = p / q, rest = p % q;
    if (q != 1 && whole != 0) {
        out += Maths::symbol(Maths::Kind::Equals);
        out += signed_number(whole);
        out += Maths::fraction(Maths::number(rest < 0 ? -rest : rest), Maths::number(q));
    }
    return out;
}

// The operations, written by the driver; "addition" is Operation::Addition, and so on.
constexpr Form Forms[] = {
    { "addition", "a/b + c/d", "Add and write each answer in lowest terms.", nullptr, false, value,
        exercise, "addition" },
    { "subtraction", "a/b - c/d", "Subtract and write each answer in lowest terms.", nullptr, false,
        value, exercise, "subtraction" },
    { "multiplication", "a/b • c/d", "Multiply and write each answer in lowest terms.", nullptr,
        false, value, exercise, "multiplication" },
    { "division", "a/b ÷ c/d", "Divide and write each answer in lowest terms.", nullptr, false,
        value, exercise, "division" },
};

} // namespace

const Family fractions_family {
    .name = "fractions",
    .menu_name = "Fractions",
    .forms_caption = "Operation",
    .title = u"Fractions",
    .instruction = "Work out each answer in lowest terms.",
    .forms = Forms,
    .task = Task::Evaluate,
    .default_form = 1,
    .columns = 4,
    .driver = fractions,
};

} // namespace quillora
