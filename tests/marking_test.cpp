// Marking typed answers: the table of rewrites and faults, every form's own key with a sign or a
// number changed, and the bounds on what is read.

#include "engine/maths.h"
#include "families/catalogue.h"
#include "sets/answer_reader.h"
#include "sets/check_code.h"
#include "sets/class_set.h"
#include "sets/marking.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

using namespace quillora;

namespace {

std::string verdict_name(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Right:
        return "right";
    case Verdict::Wrong:
        return "wrong";
    case Verdict::Unreadable:
        return "unreadable";
    }
    return "?";
}

TEST(Marking, Table)
{
    const std::map<std::string, Task> tasks { { "value", Task::Evaluate }, { "solve", Task::Solve },
        { "expand", Task::Expand }, { "factor", Task::Factor } };
    std::ifstream in(QUILLORA_TEST_DATA "/marking.tsv");
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> field;
        std::istringstream fields(line);
        for (std::string each; std::getline(fields, each, '\t');)
            field.push_back(each);
        ASSERT_GE(field.size(), 4u) << line;
        const Mark mark = mark_answer(tasks.at(field[0]), from_utf8(field[1]), from_utf8(field[2]));
        EXPECT_EQ(verdict_name(mark.verdict), field[3]) << line;
        EXPECT_EQ(mark.reason, field.size() > 4 ? field[4] : "") << line;
        ++rows;
    }
    EXPECT_GT(rows, 50);
}

// The key with its first sign turned round (a leading minus given or taken away where it has no
// other), or with its last number one larger.
Text changed_sign(Text key)
{
    if (const auto at = key.find(u" + "); at != Text::npos)
        key[at + 1] = u'-';
    else if (const auto at = key.find(u" - "); at != Text::npos)
        key[at + 1] = u'+';
    else if (const std::size_t start = key.starts_with(u"x = ") ? 4 : 0; key[start] == u'-')
        key.erase(start, 1);
    else
        key.insert(start, 1, u'-');
    return key;
}

Text changed_number(Text key)
{
    std::size_t last = key.find_last_of(u"0123456789");
    while (last != Text::npos && key[last] == u'9')
        key[last--] = u'0';
    if (last == Text::npos || key[last] < u'0' || key[last] > u'9')
        key.insert(last + 1, 1, u'1');
    else
        ++key[last];
    return key;
}

TEST(Marking, EveryFormsOwnKeyIsRightAndAChangedOneIsNot)
{
    for (const Family* family : families()) {
        const int forms = static_cast<int>(family->forms.size());
        for (int place = 0; place <= forms; ++place) {
            for (const bool ticked : { false, true }) {
                if (ticked && !family->takes_fraction_answers())
                    continue;
                const ProblemOptions options { .selection
                    = place == 0 ? FormSelection::mixed() : FormSelection::form(place),
                    .fraction_answers_ok = ticked };
                for (std::uint32_t seed = 1; seed <= 10; ++seed) {
                    std::vector<Problem> problems;
                    make_sheet(*family, options, seed, &problems);
                    std::vector<Text> keys;
                    for (const Problem& problem : problems)
                        keys.push_back(maths_text(problem.answer()));
                    const std::vector<Mark> marks = mark_sheet(*family, options, seed, keys);
                    ASSERT_EQ(marks.size(), keys.size());
                    for (std::size_t i = 0; i < keys.size(); ++i) {
                        const std::string where = std::string(family->name) + " place "
                            + std::to_string(place) + " seed " + std::to_string(seed) + ": "
                            + to_utf8(keys[i]);
                        EXPECT_EQ(marks[i].verdict, Verdict::Right) << where << marks[i].reason;
                        if (keys[i] == u"0" || keys[i] == u"x = 0" || keys[i].ends_with(u" x")
                            || keys[i] == u"no solution")
                            continue;
                        EXPECT_EQ(mark_answer(family->task, keys[i], changed_sign(keys[i])).verdict,
                            Verdict::Wrong)
                            << where;
                        EXPECT_EQ(
                            mark_answer(family->task, keys[i], changed_number(keys[i])).verdict,
                            Verdict::Wrong)
                            << where;
                    }
                }
            }
        }
    }
}

TEST(Marking, Bounds)
{
    const auto mark = [](const Text& typed) { return mark_answer(Task::Solve, u"x = 3", typed); };
    const Text padded = u"x = 3" + Text(MaxAnswerLength - 5, u' ');
    EXPECT_EQ(mark(padded).verdict, Verdict::Right);
    EXPECT_EQ(mark(padded + u' ').reason, "too long");

    const auto nested = [](int depth) {
        return Text(static_cast<std::size_t>(depth), u'(') + u'3'
            + Text(static_cast<std::size_t>(depth), u')');
    };
    EXPECT_EQ(mark(nested(MaxAnswerDepth)).verdict, Verdict::Right);
    EXPECT_EQ(mark(nested(MaxAnswerDepth + 1)).reason, "nested too deeply");
    Text tower = u"3";
    for (int i = 0; i < MaxAnswerDepth; ++i)
        tower += u"^1";
    EXPECT_EQ(mark(tower).reason, "not simplified"); // read, and 3, but not finished
    EXPECT_EQ(mark(tower + u"^1").reason, "nested too deeply");

    // the longest answers of each kind of trouble: read or refused, never a crash or a hang
    for (const TextView unit : { u"(", u")", u"-", u"^", u"x^", u"9^", u"(x+1)^9", u"x²", u"1/",
             u"=", u"9999999999", u"2 1/2", u"\uFFFD" }) {
        Text typed;
        while (typed.size() + unit.size() <= MaxAnswerLength)
            typed += unit;
        EXPECT_NE(mark(typed).verdict, Verdict::Right) << to_utf8(typed);
        EXPECT_NE(mark_answer(Task::Factor, u"x²", typed).verdict, Verdict::Right);
    }
}

} // namespace

// A sheet's self-check link, read back as the page reads its address, names the same sheet; its
// key code opens the key, a changed one does not, and a link without check=1 or a seed (or
// with an empty one), or of a blank sheet, is refused.
TEST(Marking, CheckLinksNameTheirSheet)
{
    const Family& family = *find_family("equations");
    const ProblemOptions options {
        .selection = FormSelection::form(3), .fraction_answers_ok = true, .distinct = true
    };
    const std::string link = check_link("https://school.example/q/", family, options, 7);
    EXPECT_EQ(link,
        "https://school.example/q/?family=equations&form=EQ3&seed=7&distinct=1"
        "&fraction-answers=1&check=1");
    std::vector<std::pair<std::string, std::string>> settings;
    for (std::size_t at = link.find("family="); at < link.size();) {
        const std::size_t end = std::min(link.find('&', at), link.size());
        const std::string setting = link.substr(at, end - at);
        settings.emplace_back(
            setting.substr(0, setting.find('=')), setting.substr(setting.find('=') + 1));
        at = end + 1;
    }
    const std::string code = key_code(family, options, 7);
    for (const auto& [key, opens] : { std::pair { code, true }, { "0" + code.substr(1), false } }) {
        auto with_key = settings;
        with_key.emplace_back("key", key);
        const CheckRequest read = check_request(with_key);
        EXPECT_EQ(read.family, &family);
        EXPECT_EQ(
            make_sheet(*read.family, read.options, read.seed), make_sheet(family, options, 7));
        EXPECT_EQ(read.key, opens);
    }
    settings.pop_back();
    EXPECT_THROW(check_request(settings), UsageError);
    settings.emplace_back("check", "1");
    settings.erase(settings.begin() + 2); // the seed
    EXPECT_THROW(check_request(settings), UsageError);
    settings.emplace_back("seed", ""); // a link cut short names no sheet, not seed 0's
    EXPECT_THROW(check_request(settings), UsageError);
    settings.back().second = "7";
    settings[1].second = "none"; // a blank sheet has nothing to check
    EXPECT_THROW(check_request(settings), UsageError);
}
