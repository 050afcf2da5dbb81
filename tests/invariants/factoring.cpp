#include "tests/invariants/invariants.h"

#include <map>
#include <numeric>
#include <regex>

namespace quillora::invariants {

namespace {

enum Place { EGF = 1, HGF, EGFGCF, HGFGCF, GCF, DOTS, PST };

} // namespace

std::optional<Poly> parse_polynomial(const std::string& s)
{
    static const std::regex shape("(-?[1-9][0-9]*)?x\u00B2(?: ([+-]) ([1-9][0-9]*)x)?"
                                  "(?: ([+-]) ([1-9][0-9]*))?");
    std::smatch m;
    if (!std::regex_match(s, m, shape))
        return std::nullopt;
    auto term = [&](int i) {
        return m[i + 1].matched ? std::stoi(m[i + 1]) * (m[i] == "-" ? -1 : 1) : 0;
    };
    return Poly { m[1].matched ? std::stoi(m[1]) : 1, term(2), term(4), m[1].matched };
}

const std::set<Poly>& attainable_polynomials(int place)
{
    static const auto all = [] {
        std::map<int, std::set<Poly>> sets;
        for (int a = -12; a <= 12; ++a) {
            for (int b = -12; b <= 12; ++b) {
                if (a == 0 || b == 0)
                    continue;
                sets[EGF].insert({ 1, a + b, a * b, false });
                for (int k = 2; k <= 15; ++k)
                    sets[EGFGCF].insert({ k, k * (a + b), k * a * b, true });
                for (int d = 1; d <= 8; ++d)
                    sets[GCF].insert({ d * a, d * b, 0, true });
                // b as q, from -6 to 6
                for (int m = 2; m <= 10 && std::abs(b) <= 6; ++m) {
                    for (int n = 1; n <= 10; ++n) {
                        const int A = m * n, B = m * a + b * n, C = b * a;
                        const int g = B == 0 ? 1 : std::gcd(std::gcd(A, B), C);
                        sets[HGF].insert({ A / g, B / g, C / g, true });
                        for (int k = 2; k <= 10; ++k)
                            sets[HGFGCF].insert({ k * A / g, k * B / g, k * C / g, true });
                    }
                }
            }
        }
        for (int x = 1; x <= 15; ++x) {
            for (int y = 1; y <= 15; ++y) {
                const int g = std::gcd(x, y), a = x / g, b = y / g;
                if (x == y)
                    continue;
                sets[DOTS].insert({ a * a, 0, -b * b, a != 1 });
                sets[PST].insert({ a * a, 2 * a * b, b * b, a != 1 });
                sets[PST].insert({ a * a, -2 * a * b, b * b, a != 1 });
            }
        }
        return sets;
    }();
    return all.at(place);
}

int check_factoring_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    const auto found = two_column_problems(result, u"Factoring", 7, report);
    for (const auto& text : found) {
        const auto p = parse_polynomial(text);
        if (!p) {
            report.fail("factoring: badly written: " + text);
            continue;
        }
        auto why = [&](int place) -> std::string {
            if (!attainable_polynomials(place).count(*p))
                return "not a product of its factors";
            if (p->a <= 0 && place != GCF)
                return "leading coefficient not positive";
            return place == PST && (std::abs(p->b) < 4 || p->b % 2 != 0) ? "middle term" : "";
        };
        check_problem(options.selection.place(), 7, false, why, "factoring: " + text, report);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
