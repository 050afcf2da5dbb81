#include "sets/marking.h"

#include "engine/maths.h"
#include "sets/answer_reader.h"

#include <array>
#include <climits>
#include <cmath>
#include <numeric>
#include <optional>

namespace quillora {

namespace {

constexpr std::string_view NotAnAnswer = "not an answer to this problem";
constexpr std::string_view NotLowest = "not in lowest terms";
constexpr std::string_view NotComplete = "not factored completely";
constexpr std::string_view NotSimplified = "not simplified";

// Answers are polynomials of low degree; a higher one is reported as too large.
constexpr int MaxDegree = 8;

// Coefficients of x^0 to x^MaxDegree.
using Polynomial = std::array<Rational, MaxDegree + 1>;

int degree(const Polynomial& p)
{
    int d = MaxDegree;
    while (d > 0 && p[static_cast<std::size_t>(d)].p == 0)
        --d;
    return d;
}

// Exact arithmetic on rationals and polynomials in 64 bits, every operation checked. The first
// failure sticks; the values computed after it mean nothing.
class Evaluator {
public:
    enum class Failure : unsigned char { None, TooLarge, DivideByZero, NotPolynomial };
    Failure failure = Failure::None;

    Polynomial value(const AnswerNode& node)
    {
        Polynomial out {};
        switch (node.kind) {
        case AnswerNode::Kind::Number:
        case AnswerNode::Kind::Mixed:
            out[0] = node.value;
            break;
        case AnswerNode::Kind::Variable:
            out[1] = { 1, 1 };
            break;
        case AnswerNode::Kind::Sum:
            for (const AnswerNode& term : node.children) {
                const Polynomial v = value(term);
                for (std::size_t i = 0; i < out.size(); ++i)
                    out[i] = add(out[i], v[i]);
            }
            break;
        case AnswerNode::Kind::Product:
            out[0] = { 1, 1 };
            for (const AnswerNode& factor : node.children) {
                const Polynomial v = value(factor);
                if (!factor.divides) {
                    out = times(out, v);
                } else if (degree(v) > 0) {
                    fail(Failure::NotPolynomial);
                } else if (v[0].p == 0) {
                    fail(Failure::DivideByZero);
                } else {
                    const Rational inverse = make(v[0].q, v[0].p);
                    for (Rational& c : out)
                        c = times(c, inverse);
                }
            }
            break;
        case AnswerNode::Kind::Power: {
            const Polynomial base = value(node.children[0]);
            const Polynomial exponent = value(node.children[1]);
            if (degree(exponent) > 0 || exponent[0].q != 1 || exponent[0].p < 0) {
                fail(Failure::NotPolynomial);
                break;
            }
            if (exponent[0].p > 64) {
                fail(Failure::TooLarge);
                break;
            }
            out[0] = { 1, 1 };
            for (long long i = 0; i < exponent[0].p && failure == Failure::None; ++i)
                out = times(out, base);
            break;
        }
        }
        if (node.negative) {
            for (Rational& c : out)
                c.p = -c.p; // never overflows: make() keeps p above LLONG_MIN
        }
        return out;
    }

    Rational make(long long p, long long q)
    {
        if (q == 0)
            return fail(Failure::DivideByZero);
        if (p == LLONG_MIN || q == LLONG_MIN)
            return fail(Failure::TooLarge);
        if (q < 0) {
            p = -p;
            q = -q;
        }
        const long long g = std::gcd(p, q);
        return { p / g, q / g };
    }

    Rational add(Rational a, Rational b)
    {
        const long long g = std::gcd(a.q, b.q);
        long long x = 0, y = 0, p = 0, q = 0;
        if (__builtin_mul_overflow(a.p, b.q / g, &x) || __builtin_mul_overflow(b.p, a.q / g, &y)
            || __builtin_add_overflow(x, y, &p) || __builtin_mul_overflow(a.q / g, b.q, &q))
            return fail(Failure::TooLarge);
        return make(p, q);
    }

    Rational times(Rational a, Rational b)
    {
        if (a.p == 0 || b.p == 0)
            return {};
        const long long g = std::gcd(a.p, b.q), h = std::gcd(b.p, a.q);
        long long p = 0, q = 0;
        if (__builtin_mul_overflow(a.p / g, b.p / h, &p)
            || __builtin_mul_overflow(a.q / h, b.q / g, &q))
            return fail(Failure::TooLarge);
        return make(p, q);
    }

    Polynomial times(const Polynomial& a, const Polynomial& b)
    {
        Polynomial out {};
        for (std::size_t i = 0; i < a.size(); ++i) {
            for (std::size_t j = 0; j < b.size(); ++j) {
                if (a[i].p == 0 || b[j].p == 0)
                    continue;
                if (i + j > MaxDegree) {
                    fail(Failure::TooLarge);
                    return out;
                }
                out[i + j] = add(out[i + j], times(a[i], b[j]));
            }
        }
        return out;
    }

private:
    Rational fail(Failure why)
    {
        if (failure == Failure::None)
            failure = why;
        return {};
    }
};

// The value of a node, or none with the mark that says why it has none.
std::optional<Polynomial> value_of(const AnswerNode& node, Mark& mark)
{
    Evaluator evaluator;
    const Polynomial value = evaluator.value(node);
    switch (evaluator.failure) {
    case Evaluator::Failure::None:
        return value;
    case Evaluator::Failure::TooLarge:
        mark = { Verdict::Unreadable, "number too large" };
        break;
    case Evaluator::Failure::DivideByZero:
        mark = { Verdict::Unreadable, "division by zero" };
        break;
    case Evaluator::Failure::NotPolynomial:
        mark = { Verdict::Wrong, NotAnAnswer };
        break;
    }
    return std::nullopt;
}

// How a number is written: the forms a finished answer takes, an unreduced fraction, or an
// expression.
enum class NumberForm : unsigned char { Whole, Fraction, Mixed, Decimal, Unreduced, Other };

NumberForm number_form(const AnswerNode& node)
{
    using Kind = AnswerNode::Kind;
    if (node.kind == Kind::Number)
        return node.decimal ? NumberForm::Decimal : NumberForm::Whole;
    if (node.kind == Kind::Mixed)
        return std::gcd(node.numerator, node.denominator) == 1 ? NumberForm::Mixed
                                                               : NumberForm::Unreduced;
    if (node.kind != Kind::Product || node.children.size() != 2)
        return NumberForm::Other;
    const AnswerNode& top = node.children[0];
    const AnswerNode& bottom = node.children[1];
    if (top.kind != Kind::Number || top.decimal || top.divides || bottom.kind != Kind::Number
        || bottom.decimal || !bottom.divides)
        return NumberForm::Other;
    if (bottom.value.p == 1 || std::gcd(top.value.p, bottom.value.p) != 1)
        return NumberForm::Unreduced;
    return NumberForm::Fraction;
}

// Why a polynomial equal to the product is not written multiplied out, or nothing: every term
// a whole coefficient (or none) and powers of x, each power once.
std::string_view expansion_fault(const AnswerNode& node)
{
    using Kind = AnswerNode::Kind;
    const bool sum = node.kind == Kind::Sum;
    const std::size_t terms = sum ? node.children.size() : 1;
    std::string_view fault;
    std::array<bool, MaxDegree + 1> seen {};
    for (std::size_t t = 0; t < terms; ++t) {
        const AnswerNode& term = sum ? node.children[t] : node;
        const bool product = term.kind == Kind::Product;
        const std::size_t factors = product ? term.children.size() : 1;
        int power = 0, numbers = 0;
        for (std::size_t f = 0; f < factors; ++f) {
            const AnswerNode& factor = product ? term.children[f] : term;
            const AnswerNode* base = factor.kind == Kind::Power ? &factor.children[0] : &factor;
            if (base->kind == Kind::Sum)
                return "not multiplied out";
            const AnswerNode& exponent = factor.kind == Kind::Power ? factor.children[1] : factor;
            if (factor.divides || factor.decimal || factor.kind == Kind::Mixed)
                fault = NotSimplified;
            else if (factor.kind == Kind::Number)
                ++numbers;
            else if (factor.kind == Kind::Variable)
                ++power;
            else if (base->kind == Kind::Variable && !base->negative
                && exponent.kind == Kind::Number && !exponent.negative && exponent.value.q == 1
                && exponent.value.p <= MaxDegree)
                power += static_cast<int>(exponent.value.p);
            else
                fault = NotSimplified;
        }
        if (numbers > 1 || power > MaxDegree)
            fault = NotSimplified;
        else if (seen[static_cast<std::size_t>(power)] && fault.empty())
            fault = "like terms not collected";
        else
            seen[static_cast<std::size_t>(power)] = true;
    }
    return fault;
}

// Gathers the factors of a product as written; a power's base stands for its repeats, and a
// power 0 is left out (it is 1).
void gather_factors(const AnswerNode& node, std::vector<const AnswerNode*>& out)
{
    if (node.kind == AnswerNode::Kind::Product) {
        for (const AnswerNode& factor : node.children)
            gather_factors(factor, out);
    } else if (node.kind == AnswerNode::Kind::Power) {
        const AnswerNode& exponent = node.children[1];
        if (exponent.value.p != 0 || exponent.kind != AnswerNode::Kind::Number)
            gather_factors(node.children[0], out);
    } else {
        out.push_back(&node);
    }
}

// Why a product equal to the problem is not factored completely over the integers, or nothing:
// every factor that holds x has whole coefficients without a common divisor, and is linear or
// a quadratic without rational roots. (By Gauss's lemma the constant factors then multiply to
// a whole number.)
std::string_view factoring_fault(const AnswerNode& node, Mark& mark)
{
    std::vector<const AnswerNode*> factors;
    gather_factors(node, factors);
    for (const AnswerNode* factor : factors) {
        const std::optional<Polynomial> value = value_of(*factor, mark);
        if (!value)
            return mark.reason;
        const int d = degree(*value);
        // a constant factor stands as a whole number: "4(x + 1)(x + 2)/2" is not finished
        if (d == 0
            && (factor->divides || factor->decimal || factor->kind == AnswerNode::Kind::Mixed))
            return NotSimplified;
        if (d == 0)
            continue;
        long long content = 0;
        for (const Rational& c : *value) {
            if (c.q != 1)
                return "not factored over the integers";
            content = std::gcd(content, c.p);
        }
        if (content != 1 || d > 2)
            return NotComplete;
        if (d == 2) {
            const long long a = (*value)[2].p, b = (*value)[1].p, c = (*value)[0].p;
            long long bb = 0, a4 = 0, ac = 0, discriminant = 0;
            if (__builtin_mul_overflow(b, b, &bb) || __builtin_mul_overflow(a, 4, &a4)
                || __builtin_mul_overflow(a4, c, &ac)
                || __builtin_sub_overflow(bb, ac, &discriminant))
                return {};
            if (discriminant >= 0) {
                auto root = static_cast<long long>(std::sqrt(static_cast<double>(discriminant)));
                while (root * root > discriminant)
                    --root;
                while ((root + 1) * (root + 1) <= discriminant)
                    ++root;
                if (root * root == discriminant)
                    return NotComplete;
            }
        }
    }
    return {};
}

bool is_x(const AnswerNode& node)
{
    return node.kind == AnswerNode::Kind::Variable && !node.negative;
}

// The constant value of a node, or none with the mark when it has none or holds x.
std::optional<Rational> constant_of(const AnswerNode& node, Mark& mark)
{
    const std::optional<Polynomial> value = value_of(node, mark);
    if (!value)
        return std::nullopt;
    if (degree(*value) > 0) {
        mark = { Verdict::Wrong, NotAnAnswer };
        return std::nullopt;
    }
    return (*value)[0];
}

Mark mark_solution(const ReadAnswer& key, const ReadAnswer& answer)
{
    using Words = ReadAnswer::Words;
    if (answer.words != Words::None || key.words != Words::None)
        return { answer.words == key.words ? Verdict::Right : Verdict::Wrong, {} };
    const AnswerNode* said = nullptr;
    if (answer.sides.size() == 1)
        said = &answer.sides[0];
    else if (answer.sides.size() == 2 && is_x(answer.sides[0]))
        said = &answer.sides[1];
    else if (answer.sides.size() == 2 && is_x(answer.sides[1]))
        said = &answer.sides[0];
    if (!said)
        return { Verdict::Wrong, NotAnAnswer };
    Mark mark;
    const std::optional<Rational> want = constant_of(key.sides.back(), mark);
    const std::optional<Rational> got = constant_of(*said, mark);
    if (!want || !got)
        return mark;
    if (*got != *want)
        return { Verdict::Wrong, {} };
    switch (number_form(*said)) {
    case NumberForm::Unreduced:
        return { Verdict::Wrong, NotLowest };
    case NumberForm::Other:
        return { Verdict::Wrong, NotSimplified };
    default:
        return { Verdict::Right, {} };
    }
}

Mark mark_value(const ReadAnswer& key, const ReadAnswer& answer)
{
    if (answer.words != ReadAnswer::Words::None)
        return { Verdict::Wrong, NotAnAnswer };
    Mark mark;
    const std::optional<Rational> want = constant_of(key.sides.front(), mark);
    if (!want)
        return mark;
    for (const AnswerNode& side : answer.sides) {
        const std::optional<Rational> got = constant_of(side, mark);
        if (!got)
            return mark;
        if (*got != *want)
            return { Verdict::Wrong, {} };
    }
    for (const AnswerNode& side : answer.sides) {
        switch (number_form(side)) {
        case NumberForm::Unreduced:
            return { Verdict::Wrong, NotLowest };
        case NumberForm::Decimal:
            return { Verdict::Wrong, "not a fraction" };
        case NumberForm::Other:
            return { Verdict::Wrong, NotSimplified };
        default:
            break;
        }
    }
    return { Verdict::Right, {} };
}

Mark mark_polynomial(Task task, const ReadAnswer& key, const ReadAnswer& answer)
{
    if (answer.words != ReadAnswer::Words::None || answer.sides.size() != 1)
        return { Verdict::Wrong, NotAnAnswer };
    Mark mark;
    const std::optional<Polynomial> want = value_of(key.sides.front(), mark);
    const std::optional<Polynomial> got = value_of(answer.sides.front(), mark);
    if (!want || !got)
        return mark;
    if (*got != *want)
        return { Verdict::Wrong, {} };
    const std::string_view fault = task == Task::Expand
        ? expansion_fault(answer.sides.front())
        : factoring_fault(answer.sides.front(), mark);
    return { fault.empty() ? Verdict::Right : Verdict::Wrong, fault };
}

} // namespace

Mark mark_answer(Task task, TextView key, TextView typed)
{
    const ReadAnswer answer = read_answer(typed);
    if (!answer.unreadable.empty())
        return { Verdict::Unreadable, answer.unreadable };
    const ReadAnswer expected = read_answer(key);
    switch (task) {
    case Task::Evaluate:
        return mark_value(expected, answer);
    case Task::Solve:
        return mark_solution(expected, answer);
    case Task::Expand:
    case Task::Factor:
        return mark_polynomial(task, expected, answer);
    }
    return {};
}

std::string_view answer_hint(Task task)
{
    switch (task) {
    case Task::Evaluate:
        return "Type each answer as a fraction in lowest terms (17/6), a whole number, or a mixed "
               "number (2 5/6).";
    case Task::Solve:
        return "Type each solution as x = 3/4 (or just 3/4, a whole number or an exact decimal), "
               "or no solution, or every x.";
    case Task::Expand:
        return "Multiply out and collect like terms, e.g. 6x^2 - 7x - 3 (x^2 or x\u00B2).";
    case Task::Factor:
        return "Factor completely, e.g. 2(x + 3)(x - 1); a repeated factor as (x + 5)^2.";
    }
    return {};
}

std::vector<Mark> mark_sheet(const Family& family, const ProblemOptions& options,
    std::uint32_t seed, const std::vector<Text>& typed)
{
    std::vector<Problem> problems;
    make_sheet(family, options, seed, &problems);
    std::vector<Mark> marks;
    // each answer is read from the text its key prints, so what a key shows is what is right
    for (std::size_t i = 0; i < typed.size() && i < problems.size(); ++i)
        marks.push_back(mark_answer(family.task, maths_text(problems[i].answer()), typed[i]));
    return marks;
}

} // namespace quillora
