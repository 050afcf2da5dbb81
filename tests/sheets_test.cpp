// Whole sheets of every form over many seeds: their recorded digests, their shape and writing,
// and distinct sheets. QUILLORA_SOAK_SEEDS=N checks shape and writing over N seeds per form
// instead of the usual 200 (`make soak`).

#include "families/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numeric>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>

using namespace quillora;

namespace {

struct Case {
    const Family* family;
    std::string name; // "family form" and " ticked" when Fraction Answers OK is ticked
    ProblemOptions options;
};

// Every form, "mixed" and (where offered) "none" of every family, with the box clear and ticked.
std::vector<Case> cases()
{
    std::vector<Case> out;
    for (const Family* each : families()) {
        const Family& family = *each;
        std::vector<std::string_view> forms;
        for (const Form& form : family.forms)
            forms.push_back(form.code);
        forms.push_back("mixed");
        if (!family.default_form)
            forms.push_back("none");
        for (const bool ticked : { false, true })
            for (std::size_t i = 0;
                 i < forms.size() && (!ticked || family.takes_fraction_answers()); ++i)
                out.push_back({ &family,
                    std::string(family.name) + " " + std::string(forms[i])
                        + (ticked ? " ticked" : ""),
                    { .selection = *parse_form(family, forms[i]),
                        .fraction_answers_ok = ticked } });
    }
    return out;
}

struct Sheet {
    Text text;
    std::optional<double> font_size;
};

Sheet sheet(const Case& c, std::uint32_t seed, bool distinct = false)
{
    ProblemOptions options = c.options;
    options.distinct = distinct;
    return { make_sheet(*c.family, options, seed), c.family->font_size };
}

std::string digest(const Sheet& result)
{
    std::uint32_t h = 2166136261u; // FNV-1a over the UTF-8 text and the font size
    for (const char ch : to_utf8(result.text) + std::to_string(result.font_size.value_or(0)))
        h = (h ^ std::uint8_t(ch)) * 16777619u;
    char out[9];
    std::snprintf(out, sizeof out, "%08x", h);
    return out;
}

// Where each problem number stands (in characters), line by line: the same on every sheet of a
// form, because every problem fits its column.
std::vector<std::vector<std::size_t>> shape(const Text& text)
{
    std::vector<std::vector<std::size_t>> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            lines.emplace_back();
        else if (text.compare(i, 2, u".)") == 0) {
            std::size_t start = i;
            while (start > 0 && text[start - 1] >= u'0' && text[start - 1] <= u'9')
                --start;
            lines.back().push_back(start - (text.rfind(u'\n', start) + 1));
        }
    }
    return lines;
}

// What no sheet may write: a sign before a sign, a zero term or coefficient, a leading zero, a
// "-0"; and outside factoring a coefficient 1.
std::string bad_writing(const Case& c, const std::string& t)
{
    auto digit = [&](std::size_t i) { return i < t.size() && t[i] >= '0' && t[i] <= '9'; };
    auto in = [&](std::size_t i, std::string_view set) {
        return i < t.size() && set.find(t[i]) != std::string_view::npos;
    };
    for (std::size_t i = 1; i + 1 < t.size(); ++i) {
        const bool bad = (in(i - 1, "+-") && t[i] == ' ' && in(i + 1, "+-") && in(i + 2, " "))
            || (in(i - 1, " (") && in(i, "+-") && t[i + 1] == ' ' && t[i + 2] == '0'
                && !digit(i + 3) && !in(i + 3, ".)"))
            || (in(i - 1, " (-") && t[i] == '0' && t[i + 1] == 'x')
            || (!digit(i - 1) && t[i] == '0' && digit(i + 1))
            || (t[i - 1] == '-' && t[i] == '0' && !digit(i + 1))
            || (c.family->name != "factoring" && in(i - 1, " (-") && t.compare(i, 2, "1x") == 0);
        if (bad)
            return "\"" + t.substr(i - 1, 4) + "\" in " + c.name;
    }
    return "";
}

// A sheet's problems in order, each its text after the number prefix with blank runs collapsed;
// a fractions exercise is its 23-column block of three lines.
std::vector<std::string> problems(const Case& c, const Sheet& result)
{
    std::string text = to_utf8(result.text);
    if (c.family->name == "fractions") {
        std::vector<std::u16string> lines;
        for (std::size_t s = 0, e = 0; e != Text::npos; s = e + 1)
            lines.push_back(result.text.substr(s, (e = result.text.find(u'\n', s)) - s));
        text.clear();
        for (std::size_t row = 4; row + 2 < lines.size(); row += 7)
            for (std::size_t col = 0; col < 92; col += 23)
                for (std::size_t l = row; l < row + 3; ++l)
                    text += to_utf8(lines[l].substr(std::min(col, lines[l].size()), 23)) + ' ';
    }
    // split before each number prefix, dropping the title, with blank runs made one blank
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, ".)") == 0) {
            while (!found.empty() && found.back().back() >= '0' && found.back().back() <= '9')
                found.back().pop_back(); // the number of this prefix
            found.emplace_back(" ");
            ++i;
        } else if (!found.empty()
            && (static_cast<unsigned char>(text[i]) > ' ' || found.back().back() != ' '))
            found.back() += static_cast<unsigned char>(text[i]) <= ' ' ? ' ' : text[i];
    }
    return found;
}

std::size_t first_repeat(const std::vector<std::string>& list)
{
    std::set<std::string> seen;
    std::size_t i = 0;
    while (i < list.size() && seen.insert(list[i]).second)
        ++i;
    return i;
}

// Exact rationals for the answer checks, which share nothing with the engine's arithmetic.
struct Q {
    long long p = 0, q = 1;
};
Q make(long long p, long long q)
{
    if (q < 0)
        p = -p, q = -q;
    const long long g = std::gcd(p, q);
    return g ? Q { p / g, q / g } : Q { 0, 1 };
}
Q operator+(Q a, Q b)
{
    return make(a.p * b.q + b.p * a.q, a.q * b.q);
}
Q operator-(Q a, Q b)
{
    return make(a.p * b.q - b.p * a.q, a.q * b.q);
}
Q operator*(Q a, Q b)
{
    return make(a.p * b.p, a.q * b.q);
}
bool operator==(Q a, Q b)
{
    return a.p == b.p && a.q == b.q;
}

// The value at x of mathematics as the sheets and keys write it (UTF-8): whole numbers, "(a/b)",
// x, sums and differences, products written side by side, and squares. Throws on anything else.
class Value {
public:
    Value(std::string_view text, Q x)
        : m_s(text)
        , m_x(x)
    {
    }
    Q read()
    {
        const Q v = sum();
        skip();
        if (m_i != m_s.size())
            throw std::runtime_error("unread text");
        return v;
    }

private:
    void skip()
    {
        while (m_i < m_s.size() && m_s[m_i] == ' ')
            ++m_i;
    }
    bool at(char c)
    {
        skip();
        return m_i < m_s.size() && m_s[m_i] == c;
    }
    Q sum()
    {
        Q v = product();
        while (at('+') || at('-')) {
            const bool plus = m_s[m_i++] == '+';
            v = plus ? v + product() : v - product();
        }
        return v;
    }
    Q product()
    {
        const bool negative = at('-') && ++m_i;
        Q v { 1, 1 };
        int factors = 0;
        while (at('(') || at('x') || (m_i < m_s.size() && std::isdigit(m_s[m_i]))) {
            v = v * factor();
            ++factors;
        }
        if (factors == 0)
            throw std::runtime_error("no factor");
        return negative ? Q {} - v : v;
    }
    Q factor()
    {
        Q v;
        if (at('(')) {
            ++m_i;
            v = sum();
            if (!at(')'))
                throw std::runtime_error("no )");
            ++m_i;
        } else if (at('x')) {
            ++m_i;
            v = m_x;
        } else {
            long long n = 0;
            while (m_i < m_s.size() && std::isdigit(m_s[m_i]))
                n = n * 10 + (m_s[m_i++] - '0');
            v = { n, 1 };
            if (m_i < m_s.size() && m_s[m_i] == '/') {
                ++m_i;
                long long d = 0;
                while (m_i < m_s.size() && std::isdigit(m_s[m_i]))
                    d = d * 10 + (m_s[m_i++] - '0');
                v = make(n, d);
            }
        }
        if (m_s.substr(m_i, 2) == "\u00B2") {
            m_i += 2;
            v = v * v;
        }
        return v;
    }
    std::string_view m_s;
    Q m_x;
    std::size_t m_i = 0;
};

Q value(std::string_view text, long long x)
{
    return Value(text, { x, 1 }).read();
}

// A stacked problem as one line: each bar "——" replaced by "(numerator/denominator)", the
// numerators being the first words and the denominators the last, one of each per bar.
std::string unstacked(const std::string& problem)
{
    std::vector<std::string> words;
    std::istringstream in(problem);
    for (std::string w; in >> w;)
        words.push_back(w);
    const std::string bar = "\u2014\u2014";
    std::size_t bars = 0;
    for (const auto& w : words)
        for (std::size_t at = w.find(bar); at != std::string::npos; at = w.find(bar, at + 1))
            ++bars;
    std::string line;
    std::size_t next = 0;
    for (std::size_t i = bars; i + bars < words.size(); ++i) {
        std::string w = words[i];
        for (std::size_t at; (at = w.find(bar)) != std::string::npos; ++next)
            w.replace(
                at, bar.size(), "(" + words[next] + "/" + words[words.size() - bars + next] + ")");
        line += (line.empty() ? "" : " ") + w;
    }
    return line;
}

// (the square sign is two bytes of UTF-8, so it is grouped where it is optional)
const std::regex UnitX("(^|[ (-])1x");
const std::regex Expanded("(-?([2-9]|[1-9][0-9]+)?x\u00B2)?( ?[-+]? ?([2-9]|[1-9][0-9]+)?x)?"
                          "( ?[-+]? ?[1-9][0-9]*)?");
const std::regex Product("(-?[0-9]*)(x\u00B2|x)?((\\([^()]*\\)(\u00B2)?)*)");
const std::regex Factor("\\(([^()]*)\\)");
const std::regex Solution("x = (-?[1-9][0-9]*|0)(/([1-9][0-9]*))?");
const std::regex FractionValue(
    "(-?[1-9][0-9]*|0)(/([1-9][0-9]*))?( = (-?[1-9][0-9]*) ([1-9][0-9]*)/([1-9][0-9]*))?");

// What is wrong with an answer to a problem as the sheet writes it, or "": values compared at
// several whole x, solutions substituted back, lowest terms and complete factorisations checked.
std::string wrong_answer(const Case& c, const std::string& problem, const std::string& answer)
{
    const std::string_view family = c.family->name;
    const std::string& a = answer;
    if (answer.find("+ -") != std::string::npos || answer.find("- -") != std::string::npos
        || std::regex_search(answer, UnitX))
        return "badly written";
    std::smatch m;
    if (family == "binomials" || family == "factoring") {
        const std::string& p = problem;
        for (const long long x : { -7, -2, 0, 1, 3, 10 })
            if (!(value(p, x) == value(a, x)))
                return "differs at x = " + std::to_string(x);
        if (family == "binomials") {
            // descending powers, no zero or unit coefficient
            if (!std::regex_match(answer, Expanded))
                return "not expanded in descending powers";
            return "";
        }
        // factoring: the monomial is the content (negative when the leading coefficient is), x
        // taken out when the constant is 0, every linear factor primitive with a positive leading
        // coefficient, no quadratic factor left with whole roots
        const Q p0 = value(p, 0), p1 = value(p, 1), pm = value(p, -1);
        const long long lead = (p1.p + pm.p) / 2 - p0.p, mid = (p1.p - pm.p) / 2;
        long long content = std::gcd(std::gcd(lead, mid), p0.p);
        if (lead < 0)
            content = -content;
        if (!std::regex_match(answer, m, Product))
            return "not a product";
        const std::string k = m[1];
        const long long monomial = k.empty() ? 1 : k == "-" ? -1 : std::stoll(k);
        if (monomial != content || (p0.p == 0) != m[2].matched)
            return "common monomial factor not taken out";
        const std::string factors = m[3];
        for (std::sregex_iterator f(factors.begin(), factors.end(), Factor), end; f != end; ++f) {
            const std::string inner = (*f)[1];
            const Q f0 = value(inner, 0), f1 = value(inner, 1), fm = value(inner, -1);
            const long long l = (f1.p + fm.p) / 2 - f0.p, b = (f1.p - fm.p) / 2;
            if (l == 0 && (b <= 0 || std::gcd(b, f0.p) != 1))
                return "linear factor not primitive";
            const long long d = b * b - 4 * l * f0.p;
            const auto r
                = static_cast<long long>(std::llround(std::sqrt(double(std::max(d, 0LL)))));
            if (l != 0 && r * r == d)
                return "not factored completely";
        }
        return "";
    }
    if (family == "fractions") {
        std::istringstream in(problem);
        long long n1 = 0, n2 = 0, d1 = 0, d2 = 0;
        std::string bar1, op, bar2;
        in >> n1 >> n2 >> bar1 >> op >> bar2 >> d1 >> d2;
        const Q l = make(n1, d1), r = make(n2, d2);
        const Q want = op == "+" ? l + r
            : op == "-"          ? l - r
            : op == "\u2022"     ? l * r
                                 : l * make(d2, n2);
        if (!std::regex_match(answer, m, FractionValue))
            return "not a fraction";
        const long long q = m[3].matched ? std::stoll(m[3]) : 1;
        if (!(make(std::stoll(m[1]), q) == want) || std::gcd(std::stoll(m[1]), q) != 1
            || (q == 1 && m[2].matched))
            return "wrong value or not in lowest terms";
        if (m[4].matched) {
            const long long whole = std::stoll(m[5]), rest = std::stoll(m[6]);
            const Q mixed = make(whole * q + (whole < 0 ? -rest : rest), q);
            if (!(mixed == want) || std::stoll(m[7]) != q || rest >= q)
                return "wrong mixed number";
        }
        return "";
    }
    // linear equations: d(x) = left - right, substituted back
    const std::string line = family == "equations" ? problem : unstacked(problem);
    const std::size_t equals = line.find(" = ");
    const std::string left = line.substr(0, equals), right = line.substr(equals + 3);
    auto d = [&](Q x) { return Value(left, x).read() - Value(right, x).read(); };
    const bool constant = d({ 0, 1 }) == d({ 1, 1 });
    if (answer == "no solution" || answer == "every x") {
        if (!constant || (d({ 0, 1 }) == Q {}) != (answer == "every x"))
            return "not " + answer;
        return "";
    }
    if (!std::regex_match(answer, m, Solution) || constant)
        return "not a solution";
    const long long q = m[3].matched ? std::stoll(m[3]) : 1;
    if (std::gcd(std::stoll(m[1]), q) != 1 || (q == 1 && m[2].matched))
        return "not in lowest terms";
    if (family == "equations" && !c.options.fraction_answers_ok && m[2].matched)
        return "a fraction with the box clear";
    if (!(d(make(std::stoll(m[1]), q)) == Q {}))
        return "does not solve it";
    return "";
}

// The numbers, x, signs, operators and relations of a problem as the sheet writes it, in reading
// order: stacked fractions read as numerator then denominator, an exponent ² as its digit, and on
// the factoring sheets a "1x" as x.
std::vector<std::string> written_tokens(const Case& c, const std::string& problem)
{
    std::string line = problem;
    if (c.family->name == "fraction-equations") {
        line = unstacked(problem);
    } else if (c.family->name == "fractions") {
        std::istringstream in(problem);
        std::string n1, n2, bar, op, d1, d2;
        in >> n1 >> n2 >> bar >> op >> bar >> d1 >> d2;
        line = n1 + "/" + d1 + " " + op + " " + n2 + "/" + d2;
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(line[i]))) {
            std::size_t end = i;
            while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])))
                ++end;
            if (!(c.family->name == "factoring" && line.compare(i, end - i + 1, "1x") == 0))
                out.push_back(line.substr(i, end - i));
            i = end - 1;
        } else if (std::string_view("x+-=").find(line[i]) != std::string_view::npos) {
            out.emplace_back(1, line[i]);
        } else {
            for (const std::string_view symbol : { "\u2022", "\u00F7" })
                if (line.compare(i, symbol.size(), symbol) == 0)
                    out.emplace_back(symbol);
            if (line.compare(i, 2, "\u00B2") == 0)
                out.emplace_back("2");
        }
    }
    return out;
}

// The same of a tree: a sign and a binary minus alike as "-".
void tree_tokens(const Maths& m, std::vector<std::string>& out)
{
    using K = Maths::Kind;
    switch (m.kind) {
    case K::Number:
        out.push_back(std::to_string(m.value));
        break;
    case K::Variable:
    case K::Words:
        out.push_back(to_utf8(m.text));
        break;
    case K::Sign:
    case K::Minus:
        out.emplace_back("-");
        break;
    case K::Plus:
    case K::Times:
    case K::Divide:
    case K::Equals:
        out.push_back(to_utf8(maths_text(m).substr(1, 1)));
        break;
    default:
        for (const Maths& child : m.children)
            tree_tokens(child, out);
    }
}
const std::string Digests = QUILLORA_TEST_DATA "/sheets.tsv";
constexpr std::uint32_t Seeds = 200;

} // namespace

// Seeds 0 to 199 of every case give the sheets recorded in tests/data/sheets.tsv.
// After a deliberate change, QUILLORA_UPDATE_GOLDEN=1 rewrites the file; review what changed.
TEST(Sheets, AreTheRecordedOnes)
{
    std::map<std::string, std::string> recorded;
    std::ifstream in(Digests);
    for (std::string line; std::getline(in, line);)
        recorded[line.substr(0, line.find('\t'))] = line.substr(line.find('\t') + 1);
    std::ofstream out;
    if (std::getenv("QUILLORA_UPDATE_GOLDEN"))
        out.open(Digests);
    for (const Case& c : cases()) {
        std::string made;
        for (std::uint32_t seed = 0; seed < Seeds; ++seed)
            made += (seed ? " " : "") + digest(sheet(c, seed));
        out << c.name << '\t' << made << '\n';
        // the first seed whose sheet changed, and the command that shows it
        const std::string& want = recorded[c.name];
        const auto differ = std::mismatch(made.begin(), made.end(), want.begin(), want.end());
        if (differ.first != made.end() || differ.second != want.end()) {
            const auto seed = std::count(made.begin(), differ.first, ' ');
            std::string args = c.name;
            if (args.ends_with(" ticked"))
                args.replace(args.size() - 7, 7, " --fraction-answers"); // the box ticked
            const bool box = c.family->takes_fraction_answers();
            ADD_FAILURE() << c.name << (box && !args.ends_with("answers") ? " (box clear)" : "")
                          << ": the sheet of seed " << seed
                          << " is not the recorded one; quillora-sheet " << args << " --seed "
                          << seed << " shows it";
        }
    }
}

// Every sheet of a form has the shape of its first and nothing badly written; a distinct sheet
// has no problem twice and is the plain sheet of its seed up to the plain sheet's first repeat
// (fractions: up to that repeat's row), and the whole plain sheet when that has none.
TEST(Sheets, KeepTheirShapeAndDistinctOnesFollowThePlainDraws)
{
    const char* soak = std::getenv("QUILLORA_SOAK_SEEDS");
    const std::uint32_t seeds = soak ? std::uint32_t(std::stoul(soak)) : Seeds;
    for (const Case& c : cases()) {
        const auto want = shape(sheet(c, 0).text);
        int taken_back = 0;
        for (std::uint32_t seed = 0; seed < seeds; ++seed) {
            const Sheet drawn = sheet(c, seed);
            const std::string where = c.name + " seed " + std::to_string(seed);
            ASSERT_EQ(shape(drawn.text), want) << where;
            ASSERT_EQ(bad_writing(c, to_utf8(drawn.text)), "") << where;
            if (seed >= 40 || c.options.selection.is_none())
                continue;
            const Sheet made = sheet(c, seed, true);
            ASSERT_EQ(shape(made.text), want) << where;
            ASSERT_EQ(bad_writing(c, to_utf8(made.text)), "") << where;
            const auto mine = problems(c, made), theirs = problems(c, drawn);
            ASSERT_EQ(first_repeat(mine), mine.size()) << where;
            std::size_t same = first_repeat(theirs);
            if (same == theirs.size()) {
                ASSERT_EQ(made.text, drawn.text) << where;
                continue;
            }
            ++taken_back;
            if (c.family->name == "fractions")
                same -= same % 4;
            ASSERT_TRUE(
                std::equal(theirs.begin(), theirs.begin() + std::ptrdiff_t(same), mine.begin()))
                << where;
            ASSERT_NE(mine[same], theirs[same]) << where;
        }
        EXPECT_TRUE(c.name != "factoring DOTS" || taken_back > 30); // repeats most often
    }
}

// Per form, "mixed" and "none" of every family, every problem as make_sheet records it: its answer
// read back against the problem as the sheet writes it, and its tree carrying the numbers, x,
// signs and relation of that problem in order; for the plain sheet of each seed and the distinct
// sheet of the first 40.
class Problems : public testing::TestWithParam<Case> { };

TEST_P(Problems, AnswersAndTreesReadAsTheSheet)
{
    const Case& c = GetParam();
    const char* soak = std::getenv("QUILLORA_SOAK_SEEDS");
    const std::uint32_t seeds = soak ? std::uint32_t(std::stoul(soak)) : Seeds;
    for (std::uint32_t seed = 0; seed < seeds; ++seed) {
        for (const bool distinct : { false, true }) {
            if (distinct && seed >= 40)
                continue;
            ProblemOptions options = c.options;
            options.distinct = distinct;
            std::vector<Problem> made_problems;
            const Sheet made { make_sheet(*c.family, options, seed, &made_problems), {} };
            const std::string where
                = c.name + " seed " + std::to_string(seed) + (distinct ? " distinct" : "");
            ASSERT_EQ(made.text, make_sheet(*c.family, options, seed)) << where;
            const auto list = problems(c, made);
            ASSERT_EQ(made_problems.size(), c.options.selection.is_none() ? 0 : list.size())
                << where;
            for (std::size_t i = 0; i < made_problems.size(); ++i) {
                const std::string answer = to_utf8(maths_text(made_problems[i].answer()));
                std::string wrong;
                try {
                    wrong = wrong_answer(c, list[i], answer);
                } catch (const std::exception& e) {
                    wrong = e.what();
                }
                ASSERT_EQ(wrong, "")
                    << where << " problem " << i + 1 << ": " << list[i] << " answer " << answer;
                std::vector<std::string> tokens;
                tree_tokens(made_problems[i].maths(), tokens);
                ASSERT_EQ(tokens, written_tokens(c, list[i]))
                    << where << " problem " << i + 1 << ": " << list[i];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Every, Problems, testing::ValuesIn(cases()), [](const testing::TestParamInfo<Case>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });
