#include "tests/invariants/factoring_invariants.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <regex>

namespace quillora::invariants {

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
                sets[FactoringEGF].insert({ 1, a + b, a * b, false });
                for (int k = 2; k <= 15; ++k)
                    sets[FactoringEGFGCF].insert({ k, k * (a + b), k * a * b, true });
                for (int d = 1; d <= 8; ++d)
                    sets[FactoringGCF].insert({ d * a, d * b, 0, true });
                // b as q, from -6 to 6
                for (int m = 2; m <= 10 && std::abs(b) <= 6; ++m) {
                    for (int n = 1; n <= 10; ++n) {
                        const int A = m * n, B = m * a + b * n, C = b * a;
                        const int g = B == 0 ? 1 : std::gcd(std::gcd(A, B), C);
                        sets[FactoringHGF].insert({ A / g, B / g, C / g, true });
                        for (int k = 2; k <= 10; ++k)
                            sets[FactoringHGFGCF].insert({ k * A / g, k * B / g, k * C / g, true });
                    }
                }
            }
        }
        for (int x = 1; x <= 15; ++x) {
            for (int y = 1; y <= 15; ++y) {
                const int g = std::gcd(x, y), a = x / g, b = y / g;
                if (x == y)
                    continue;
                sets[FactoringDOTS].insert({ a * a, 0, -b * b, a != 1 });
                sets[FactoringPST].insert({ a * a, 2 * a * b, b * b, a != 1 });
                sets[FactoringPST].insert({ a * a, -2 * a * b, b * b, a != 1 });
            }
        }
        return sets;
    }();
    return all.at(place);
}

std::vector<std::string> factoring_problems(const Text& text, Report& report)
{
    std::vector<std::string> found;
    const Text head = u"Factoring\n\n\n\n";
    if (text.substr(0, head.size()) != head)
        report.fail("factoring: title lines");
    std::size_t at = head.size();
    for (int i = 1; i <= 30 && at < text.size(); ++i) {
        // a left problem is padded to 40 characters, a right one ends the row
        const auto stop
            = i % 2 ? text.find_last_not_of(u' ', at + 39) + 1 : text.find(u"\n\n\n", at);
        if (stop == Text::npos || stop < at) {
            report.fail("factoring: problem " + std::to_string(i) + " not ended");
            return found;
        }
        const Text line = text.substr(at, stop - at);
        const Text prefix = number_text(i) + (i < 10 ? u".)    " : u".)   ");
        if (line.size() >= 40u)
            report.fail("factoring: problem line of 40 or more characters: " + to_utf8(line));
        if (line.substr(0, prefix.size()) != prefix)
            report.fail("factoring: no prefix " + to_utf8(prefix) + " in: " + to_utf8(line));
        found.push_back(to_utf8(line.substr(std::min(line.size(), prefix.size()))));
        at = i % 2 ? at + 40 : stop + 3;
    }
    if (at != text.size())
        report.fail("factoring: text after problem 30 or a short sheet");
    return found;
}

int check_factoring_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    if (result.font_size != 12.0)
        report.fail("factoring: font size");
    const auto found = factoring_problems(result.text, report);
    if (found.size() != 30u)
        report.fail("factoring: " + std::to_string(found.size()) + " problems, not 30");
    const int place = options.selection.place();
    for (const auto& text : found) {
        const auto p = parse_polynomial(text);
        if (!p) {
            report.fail("factoring: badly written: " + text);
            continue;
        }
        if (place == 0) {
            bool matched = false;
            for (int form = FactoringEGF; form <= FactoringPST && !matched; ++form)
                matched = attainable_polynomials(form).count(*p) != 0;
            if (!matched)
                report.fail("factoring mixed: no form writes " + text);
            continue;
        }
        const std::string name = FactoringNames[place];
        if (!attainable_polynomials(place).count(*p))
            report.fail(name + ": not a product of its factors: " + text);
        if (p->a <= 0 && place != FactoringGCF)
            report.fail(name + ": leading coefficient not positive: " + text);
        if (place == FactoringPST && (std::abs(p->b) < 4 || p->b % 2 != 0))
            report.fail(name + ": middle term: " + text);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
