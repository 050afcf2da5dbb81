#pragma once

// The invariant checks of every family's worksheets, shared by the property tests and the soak.

#include "dialog/frame.h"

#include <compare>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::invariants {

/// The broken invariants found, and the forms that alone could write some problem of "mixed".
struct Report {
    std::vector<std::string> violations;
    std::set<int> mixed_forms;

    void fail(std::string why) { violations.push_back(std::move(why)); }
    bool ok() const { return violations.empty(); }
};

/// Checks one worksheet against every invariant of its family; returns the problems it read.
using SheetCheck = int (*)(const RunResult& result, const ProblemOptions& options, Report& report);

/// The whole-sheet check of the family with this command-line name, or nullptr.
SheetCheck sheet_check(std::string_view family);

/// Splits text (UTF-8 or UTF-16) at line feeds, keeping empty lines.
template <typename S> std::vector<S> split_lines(const S& text)
{
    std::vector<S> lines;
    for (std::size_t start = 0, end = 0; end != S::npos; start = end + 1) {
        end = text.find(typename S::value_type('\n'), start);
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

/// Checks font size 12, the title and three line feeds, and 15 rows of two problems (the right
/// one at column 41, each under 40 characters with its prefix of `prefix` characters), each row
/// ending in three line feeds; returns the 30 problems without prefix.
std::vector<std::string> two_column_problems(
    const RunResult& result, std::u16string_view title, std::size_t prefix, Report& report);

/// Checks a problem against the selected form (`why(form)` is "" when the form could write it)
/// or, for "mixed", against some form (exactly one when `exactly_one`); notes lone matches.
void check_problem(int place, int forms, bool exactly_one,
    const std::function<std::string(int)>& why, const std::string& shown, Report& report);

/// An equation read back: its form and the form's letters in order.
struct Equation {
    int form = 0;
    std::vector<int> v;
};
/// The equation as p x = q.
struct Linear {
    long p, q;
};
/// Reads p as an equation of the form; nullopt when its shape or writing is wrong.
std::optional<Equation> parse_equation(int form, const std::string& p);
Linear linear(const Equation& e);

/// A written polynomial: coefficients of x², x and 1, and whether the leading one was written.
struct Poly {
    int a = 0, b = 0, c = 0;
    bool lead_written = false;
    friend auto operator<=>(const Poly&, const Poly&) = default;
};
/// "[-]Ax² [± Bx] [± C]" with every written number non-zero and without leading zeros.
std::optional<Poly> parse_polynomial(const std::string& s);
/// Every polynomial a factoring form (by place) can write: its drawn factors multiplied out.
const std::set<Poly>& attainable_polynomials(int place);

/// A fraction-arithmetic exercise a/b and c/d (a value not 1 to 12 reads as -1), and its sign
/// as the "mixed" draw k numbers it: 1 +, 2 -, 3 quotient, 4 product, 0 unknown.
struct FractionExercise {
    int a = 1, b = 1, c = 1, d = 1;
    int k = 1;
    friend bool operator==(const FractionExercise&, const FractionExercise&) = default;
};
/// Checks a sheet against the block table and returns its exercises in reading order.
std::vector<FractionExercise> fraction_exercises(const Text& text, Report& report);

int check_binomials_sheet(const RunResult&, const ProblemOptions&, Report&);
int check_equations_sheet(const RunResult&, const ProblemOptions&, Report&);
int check_factoring_sheet(const RunResult&, const ProblemOptions&, Report&);
int check_fraction_equations_sheet(const RunResult&, const ProblemOptions&, Report&);
int check_fractions_sheet(const RunResult&, const ProblemOptions&, Report&);

} // namespace quillora::invariants
