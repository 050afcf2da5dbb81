#pragma once

#include "tests/invariants/report.h"

#include <vector>

namespace quillora::invariants {

/// One fraction-arithmetic exercise: the fractions a/b and c/d, and its sign as the "mixed" draw k
/// numbers it (1 +, 2 -, 3 quotient, 4 product).
struct FractionExercise {
    int a = 1, b = 1, c = 1, d = 1;
    int k = 1;
    friend bool operator==(const FractionExercise&, const FractionExercise&) = default;
};

/// Splits worksheet text at line feeds, keeping empty lines.
std::vector<Text> split_text_lines(const Text& text);

/// Checks a whole sheet against the block table (every character of every line) and returns its
/// exercises in reading order, k 0 for an unknown sign; a value that is not 1 to 12 without a
/// leading zero reads as -1.
std::vector<FractionExercise> fraction_exercises(const Text& text, Report& report);

/// The block table, no font size, every value from 1 to 12, and the selected operation's sign
/// on every exercise (for "mixed", one of the four).
int check_fractions_sheet(const RunResult& result, const ProblemOptions& options, Report& report);

} // namespace quillora::invariants
