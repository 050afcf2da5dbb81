#pragma once

// What the invariant checks of a worksheet report, shared by the property tests and the soak.

#include "dialog/frame.h"

#include <string>
#include <vector>

namespace quillora::invariants {

/// The broken invariants found so far, one message each.
struct Report {
    std::vector<std::string> violations;

    void fail(std::string why) { violations.push_back(std::move(why)); }
    /// Records a failure unless the two values are equal.
    template <typename T>
    void expect_eq(const T& actual, const T& expected, const std::string& what)
    {
        if (!(actual == expected))
            fail(what);
    }
    bool ok() const { return violations.empty(); }
};

/// Checks one worksheet made with these options against every invariant of its family; returns
/// how many problems (exercises) it read and records what is wrong in the report.
using SheetCheck = int (*)(const RunResult& result, const ProblemOptions& options, Report& report);

/// Splits UTF-8 text at line feeds, keeping empty lines.
std::vector<std::string> split_lines(const std::string& text);

} // namespace quillora::invariants
