#pragma once

// Helpers for feeding exact draws to the engine through the scripted source.

#include "dialog/frame.h"
#include "dialog/random_source.h"
#include "dialog/text.h"
#include "tests/invariants/invariants.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::test {

/// The value r for which floor(n * r) + m == v; a draw from 1 to n giving v; a sign draw giving s.
inline constexpr auto r_for = [](int v, int n, int m) { return float((v - m + 0.5) / n); };
inline constexpr auto pick = [](int v, int n) { return r_for(v, n, 1); };
inline constexpr auto coin = [](int s) { return r_for(s, 2, 0); };

/// Runs one generator as problem i of a family with the listed draws; checks that it used every
/// draw and committed its problem line once, and returns that line as UTF-8.
inline std::string one_problem(const FamilyFrame& family, Generator generator,
    std::vector<float> draws, int i = 1, ProblemOptions options = {})
{
    ScriptedSource source(std::move(draws));
    Frame frame(source, options);
    frame.problem_line() = number_prefix(family, i);
    generator(frame);
    EXPECT_EQ(source.remaining(), 0u) << "draws left over";
    EXPECT_EQ(frame.worksheet_text(), frame.problem_line()) << "problem line not committed once";
    return to_utf8(frame.problem_line());
}

/// A worked example: a generator's draws and the exact problem line it writes as problem i.
struct Example {
    Generator generator;
    std::vector<float> draws;
    std::string line;
    int i = 1;
    ProblemOptions options = {};
};

inline void expect_examples(const FamilyFrame& family, const std::vector<Example>& examples)
{
    for (const Example& e : examples) {
        SCOPED_TRACE(e.line);
        EXPECT_EQ(one_problem(family, e.generator, e.draws, e.i, e.options), e.line);
    }
}

/// Draws lists joined in order.
inline std::vector<float> operator+(std::vector<float> a, const std::vector<float>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace quillora::test
