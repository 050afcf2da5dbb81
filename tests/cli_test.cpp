// Runs quillora-sheet as a process: exit statuses, messages, output files, and a LibreOffice
// read-back of its rich text. Then the writers on documents the command line does not make, and
// page breaking.

#include "engine/page_layout.h"
#include "engine/pdf_writer.h"
#include "engine/rtf_writer.h"
#include "families/catalogue.h"
#include "sets/check_code.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace quillora;

namespace {

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Compares bytes with tests/data/golden/NAME; QUILLORA_UPDATE_GOLDEN=1 first writes them there.
void expect_golden(const std::string& name, const std::string& bytes)
{
    const fs::path file = fs::path(QUILLORA_TEST_DATA "/golden") / name;
    if (std::getenv("QUILLORA_UPDATE_GOLDEN"))
        std::ofstream(file, std::ios::binary) << bytes;
    EXPECT_EQ(bytes, read_file(file)) << name;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// A scratch folder, exported as $D to the shell commands the tests run; the tool is $SHEET, and
// $DEV runs a command with a private /dev.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string templ = (fs::temp_directory_path() / "quillora-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        dir = templ;
        setenv("D", templ.c_str(), 1);
        setenv("SHEET", QUILLORA_SHEET, 1);
        setenv("DEV", QUILLORA_PRIVATE_DEV, 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    Outcome shell(const std::string& command)
    {
        const int raw = std::system(("(" + command + "\n) >\"$D/out\" 2>\"$D/err\"").c_str());
        return { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / "out"),
            read_file(dir / "err") };
    }
    Outcome sheet(const std::string& args, const std::string& environment = "")
    {
        return shell(environment + " \"$SHEET\" " + args);
    }

    fs::path dir;
};

// A text's non-blank lines with blank runs collapsed, as a word processor or pdftotext lays out.
std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> kept;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string word, joined;
        while (words >> word)
            joined += (joined.empty() ? "" : " ") + word;
        if (!joined.empty())
            kept.push_back(joined);
    }
    return kept;
}

// The numbers of each numbered problem of a page laid out in text (a text sheet, or a PDF page
// as pdftotext -layout lays it out), "²" as 2, read line by line within the problem's block of
// non-blank lines and its columns, from its number to the next number on its row. Where a block
// holds several rows of numbers, a line belongs to the nearest.
std::map<int, std::vector<std::string>> numbers_by_problem(const std::string& page, bool pdf)
{
    const std::regex label(pdf ? R"((\d+)\.(?= |$))" : R"((\d+)\.\))");
    const std::regex number(R"(\d+|\xC2\xB2)");
    // a byte's column: its line's characters before it, in UTF-8
    auto column = [](const std::string& line, std::size_t byte) {
        return std::count_if(line.begin(), line.begin() + std::ptrdiff_t(byte),
            [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    };
    std::map<int, std::vector<std::string>> numbers;
    std::vector<std::string> block;
    auto read_block = [&]() {
        struct Label {
            std::size_t line;
            long column, end;
            int n;
        };
        std::vector<Label> labels;
        for (std::size_t i = 0; i < block.size(); ++i)
            for (std::sregex_iterator m(block[i].begin(), block[i].end(), label), end; m != end;
                 ++m)
                labels.push_back({ i, column(block[i], m->position()),
                    column(block[i], m->position() + m->length()), std::stoi(m->str(1)) });
        for (const Label& l : labels)
            numbers[l.n];
        for (std::size_t i = 0; i < block.size() && !labels.empty(); ++i) {
            for (std::sregex_iterator m(block[i].begin(), block[i].end(), number), end; m != end;
                 ++m) {
                const long at = column(block[i], m->position());
                const Label* owner = nullptr;
                bool label_itself = false;
                auto distance
                    = [&](const Label& l) { return l.line > i ? l.line - i : i - l.line; };
                for (const Label& l : labels) {
                    label_itself = label_itself || (l.line == i && l.column <= at && at < l.end);
                    if (l.column <= at
                        && (!owner || distance(l) < distance(*owner)
                            || (distance(l) == distance(*owner) && l.column > owner->column)))
                        owner = &l;
                }
                EXPECT_TRUE(owner || label_itself) << block[i];
                if (owner && !label_itself)
                    numbers[owner->n].push_back(m->str() == "\xC2\xB2" ? "2" : m->str());
            }
        }
        block.clear();
    };
    std::istringstream in(page);
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of(' ') == std::string::npos)
            read_block();
        else
            block.push_back(line);
    }
    read_block();
    return numbers;
}

// Part i of text split at a separator.
std::string split(const std::string& text, char separator, int i)
{
    std::istringstream in(text);
    std::string part;
    for (int k = 0; k <= i; ++k)
        part.clear(), std::getline(in, part, separator);
    return part;
}

// The words of each page of a PDF, with their boxes, as pdftotext -bbox reads them.
struct Word {
    double x0, y0, x1, y1;
    std::string text;
};
struct PageWords {
    double width, height;
    std::vector<Word> words;
};
std::vector<PageWords> words_of(const std::string& bbox)
{
    std::vector<PageWords> pages;
    const std::regex item(R"re(<page width="([\d.]+)" height="([\d.]+)"|<word xMin="([\d.]+)" )re"
                          R"re(yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re");
    for (std::sregex_iterator m(bbox.begin(), bbox.end(), item), end; m != end; ++m) {
        if ((*m)[1].matched)
            pages.push_back({ std::stod(m->str(1)), std::stod(m->str(2)), {} });
        else if (!pages.empty())
            pages.back().words.push_back({ std::stod(m->str(3)), std::stod(m->str(4)),
                std::stod(m->str(5)), std::stod(m->str(6)), m->str(7) });
    }
    return pages;
}

} // namespace

// The rows of a table in tests/data with their line numbers, comments left out: each row is a
// test of its own, named after its first cell, or its line where that is no name.
using Row = std::pair<int, std::string>;
std::vector<Row> rows(const std::string& table)
{
    std::vector<Row> out;
    std::ifstream in(QUILLORA_TEST_DATA "/" + table);
    int line = 0;
    for (std::string row; std::getline(in, row);) {
        ++line;
        if (!row.empty() && !row.starts_with('#'))
            out.emplace_back(line, row);
    }
    return out;
}

std::string row_name(const testing::TestParamInfo<Row>& info, bool first_cell)
{
    std::string name = first_cell ? info.param.second.substr(0, info.param.second.find('\t'))
                                  : "line" + std::to_string(info.param.first);
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

// Whole outputs, byte for byte, of the commands in tests/data/golden/list.tsv (each form's sheets
// are the digests of tests/data/sheets.tsv): the box ticked, distinct sheets, rich text, PDF,
// versions, answer keys and the help. After a deliberate change, QUILLORA_UPDATE_GOLDEN=1 writes
// them anew; review the diff.
class GoldenOutput : public CliTest, public testing::WithParamInterface<Row> { };

TEST_P(GoldenOutput, IsTheRecordedOne)
{
    const std::string& row = GetParam().second;
    const std::string name = row.substr(0, row.find('\t'));
    expect_golden(name, sheet(row.substr(name.size() + 1)).out);
}

INSTANTIATE_TEST_SUITE_P(List, GoldenOutput, testing::ValuesIn(rows("golden/list.tsv")),
    [](const auto& info) { return row_name(info, true); });

// The runs of tests/data/messages.tsv: usage errors, PDF to a terminal, unwritable outputs. A
// failed write leaves the existing file as it was and no temporary file behind. A row that cannot
// isolate itself here (exit 77) is skipped.
class Failure : public CliTest, public testing::WithParamInterface<Row> { };

TEST_P(Failure, GivesItsStatusAndOneLineMessage)
{
    std::ofstream(dir / "keep.txt") << "old worksheet";
    fs::create_directory(dir / "folder");
    const std::string& row = GetParam().second;
    const std::size_t tab = row.find('\t'), last = row.rfind('\t');
    const std::string command = row.substr(tab + 1, last - tab - 1);
    std::string message = row.substr(last + 1);
    for (std::size_t at; (at = message.find("$D")) != std::string::npos;)
        message.replace(at, 2, dir.string());
    Outcome run = shell(command);
    if (run.status == 77)
        GTEST_SKIP() << "not isolated here: " << command;
    std::erase(run.err, '\r'); // from the terminal
    EXPECT_EQ(run.status, std::stoi(row)) << command;
    EXPECT_EQ(run.err, message.empty() ? "" : message + "\n") << command;
    EXPECT_EQ(run.out, "") << command;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".quillora-"))
            << "temporary file left by " << command;
    EXPECT_EQ(read_file(dir / "keep.txt"), "old worksheet");
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

INSTANTIATE_TEST_SUITE_P(Messages, Failure, testing::ValuesIn(rows("messages.tsv")),
    [](const auto& info) { return row_name(info, false); });

TEST_F(CliTest, ClockSeedIsReportedAndReproducible)
{
    const Outcome run = sheet("binomials Bin3");
    ASSERT_EQ(run.err.rfind("seed: ", 0), 0u) << run.err;
    EXPECT_LT(std::stoul(run.err.substr(6)), 86'400'000u); // milliseconds since midnight
    EXPECT_EQ(run.out, sheet("binomials Bin3 --seed " + run.err.substr(6)).out); // ends in \n

    const Outcome set = sheet("binomials Bin3 --versions 3");
    const auto first = std::uint32_t(std::stoul(set.err.substr(7)));
    EXPECT_EQ(
        set.err, "seeds: " + std::to_string(first) + ".." + std::to_string(first + 2u) + "\n");
    EXPECT_EQ(set.out.substr(0, set.out.find('\f')),
        sheet("binomials Bin3 --seed " + std::to_string(first)).out);
}

// Version i of a set is the single run of seed N + i - 1 (wrapping at 2^32), versions joined by
// form feeds (each PDF and RTF version from a new page is in the golden outputs); one version is
// the plain run in every format.
TEST_F(CliTest, VersionsAreTheSingleRunsOfConsecutiveSeeds)
{
    const std::tuple<std::string, std::uint32_t, int> cases[]
        = { { "fractions mixed", 4294967294u, 3 },
              { "equations --fraction-answers mixed --distinct", 9, 3 } };
    for (const auto& [args, seed, versions] : cases) {
        std::string singles;
        for (int i = 0; i < versions; ++i)
            singles += (i ? "\f" : "") + sheet(args + " --seed " + std::to_string(seed + i)).out;
        EXPECT_EQ(sheet(args + " --seed " + std::to_string(seed) + " --versions "
                      + std::to_string(versions))
                      .out,
            singles)
            << args;
    }
    for (const std::string format : { "text", "rtf", "pdf" }) {
        const std::string args = "binomials Bin8 --seed 1 --format " + format;
        EXPECT_EQ(sheet(args + " --versions 1").out, sheet(args).out) << format;
    }
}

// Rich text opened by LibreOffice reads back as the name line, the same text in Courier New at 12
// points and the label; every family's sheets, one or two versions, on A4 and Letter, print as
// one page a sheet with none blank and each page's label its own, in LibreOffice and AbiWord.
TEST_F(CliTest, RichTextPrintsOnePageASheet)
{
    for (const std::string tool : { "soffice", "abiword", "pdftotext" }) {
        if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0)
            GTEST_SKIP() << tool << " not found (scripts/install-deps --tools installs it)";
    }
    const std::string forms[] = { "mixed", "Bin6", "Bin8", "none" };
    std::string files;
    for (const auto& form : forms) {
        ASSERT_EQ(
            sheet("binomials " + form + " --seed 11 --format rtf --output \"$D/" + form + ".rtf\"")
                .status,
            0);
        files += " \"$D/" + form + ".rtf\"";
    }
    struct Row {
        std::string family_form, paper;
        int versions;
        bool abiword = false;
        bool check = false; // with a self-check link under the label
    };
    // every family (fraction equations in their tallest form) on both papers, one and two
    // versions, and one AbiWord row; the tallest with self-check links in both
    std::vector<Row> pages;
    for (const Family* family : families())
        for (const std::string paper : { "a4", "letter" })
            for (const int versions : { 1, 2 })
                pages.push_back({ std::string(family->name)
                        + (family->name == "fraction-equations" ? " FB5" : " mixed"),
                    paper, versions });
    pages.push_back({ "fraction-equations FB5", "letter", 2, true });
    pages.push_back({ "fraction-equations FB5", "letter", 2, false, true });
    pages.push_back({ "fraction-equations FB5", "letter", 2, true, true });
    std::string sets;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const auto& p = pages[i];
        const std::string name = "set" + std::to_string(i);
        ASSERT_EQ(sheet(p.family_form + " --seed 9 --format rtf --paper " + p.paper + " --versions "
                      + std::to_string(p.versions) + " --output \"$D/" + name + ".rtf\""
                      + (p.check ? " --check-url https://school.example.org/q/" : ""))
                      .status,
            0);
        if (p.abiword)
            ASSERT_EQ(shell("abiword --to=pdf \"$D/" + name + ".rtf\"").status, 0);
        else
            sets += " \"$D/" + name + ".rtf\"";
    }
    const std::string office
        = "soffice -env:UserInstallation=file://$D/profile --headless --convert-to ";
    for (const std::string to : { "'txt:Text (encoded):UTF8'", "fodt", "pdf" })
        ASSERT_EQ(shell(office + to + " --outdir \"$D\"" + (to == "pdf" ? sets : files)).status, 0)
            << to;

    for (const auto& form : forms) {
        std::string back = read_file(dir / (form + ".txt"));
        if (back.rfind("\xEF\xBB\xBF", 0) == 0)
            back.erase(0, 3);
        EXPECT_EQ(back,
            "Name ______________________  Date ____________\n"
                + sheet("binomials " + form + " --seed 11").out + "\nseed 11\n")
            << form;
        const std::string flat = read_file(dir / (form + ".fodt"));
        EXPECT_NE(flat.find("style:font-name=\"Courier New\""), std::string::npos) << form;
        EXPECT_NE(flat.find("fo:font-size=\"12pt\""), std::string::npos) << form;
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const auto& p = pages[i];
        std::istringstream read(
            shell("pdftotext -layout \"$D/set" + std::to_string(i) + ".pdf\" -").out);
        int count = 0, blank = 0, labelled = 0;
        for (std::string page; std::getline(read, page, '\f'); ++count) {
            const auto kept = lines(page);
            blank += kept.empty();
            const std::string label = p.versions == 1 ? "seed 9"
                                                      : "Version " + std::to_string(count + 1)
                    + " of 2 \xC2\xB7 seed " + std::to_string(9 + count);
            const std::string link = "Check your answers: https://school.example.org/q/"
                                     "?family=fraction-equations&form=FB5&seed="
                + std::to_string(9 + count) + "&check=1";
            labelled += p.check
                ? kept.size() > 1 && kept[kept.size() - 2] == label && kept.back() == link
                : !kept.empty() && kept.back() == label;
        }
        const std::string row = p.family_form + " " + p.paper + " " + std::to_string(p.versions)
            + (p.abiword ? " abiword" : "") + (p.check ? " check" : "");
        EXPECT_EQ(count, p.versions) << row;
        EXPECT_EQ(blank, 0) << row;
        EXPECT_EQ(labelled, p.versions) << row;
    }
}

// Typeset pages read back: for every form, three versions, each page carries its version label
// and its form's instruction line and, problem by problem, the numbers of the text sheet in its
// reading order (line by line; the text's "1x" is set as x); each key page carries, beside each
// problem's numbers, its answer's numbers from the text key (as a set, since the text writes a
// fraction on one line and the page stacks it). On A4 and Letter, no two words' boxes overlap and
// every box lies inside the 0.75-in margins.
TEST_F(CliTest, TypesetPagesReadBackAsTheTextSheets)
{
    constexpr double Margin = 54, Slack = 0.05;
    auto by_problem = [](const std::string& page, bool pdf, bool sorted) {
        auto numbers = numbers_by_problem(
            pdf ? page : std::regex_replace(page, std::regex(R"((^|[^\d])1x)"), "$1x"), pdf);
        for (auto& [n, list] : numbers)
            if (sorted)
                std::sort(list.begin(), list.end());
        return numbers;
    };
    for (const Family* family : families()) {
        std::vector<std::string> forms { "mixed" };
        for (const Form& form : family->forms)
            forms.emplace_back(form.code);
        for (const std::string& form : forms) {
            const std::string_view asked = instruction(*family, *parse_form(*family, form));
            // text, then the typeset pages on both papers, sheets (t) and keys (k), read back
            const std::string row = std::string(family->name) + " " + form;
            ASSERT_EQ(
                shell("set -e; cd \"$D\"; set -- " + row
                    + " --seed 5 --versions 3; \"$SHEET\" \"$@\" --output t --answers k\n"
                      "for p in a4 letter; do\n"
                      "  \"$SHEET\" \"$@\" --format pdf --paper $p --output t.$p --answers k.$p\n"
                      "  for f in t k; do pdftotext -bbox $f.$p $f.$p.bbox & done\n"
                      "done\n"
                      "for f in t k; do pdftotext -layout $f.a4 $f.a4.txt & done; wait")
                    .status,
                0)
                << row;
            for (int v = 0; v < 3; ++v) {
                const std::string sheet_page = split(read_file(dir / "t.a4.txt"), '\f', v);
                const std::string key_page = split(read_file(dir / "k.a4.txt"), '\f', v);
                const auto problems
                    = by_problem(split(read_file(dir / "t"), '\f', v), false, false);
                auto beside = by_problem(split(read_file(dir / "k"), '\f', v), false, false);
                for (auto& [n, numbers] : beside) {
                    numbers.insert(numbers.end(), problems.at(n).begin(), problems.at(n).end());
                    std::sort(numbers.begin(), numbers.end());
                }
                const std::string at = row + " version " + std::to_string(v + 1);
                EXPECT_EQ(by_problem(sheet_page, true, false), problems) << at;
                EXPECT_EQ(by_problem(key_page, true, true), beside) << at << " key";
                for (const std::string& page : { sheet_page, key_page }) {
                    EXPECT_NE(page.find("seed " + std::to_string(5 + v)), std::string::npos) << at;
                    EXPECT_NE(page.find("\n" + std::string(asked) + "\n"), std::string::npos) << at;
                }
            }
            for (const std::string name : { "t", "k" }) {
                for (const std::string paper : { "a4", "letter" }) {
                    const auto pages = words_of(read_file(dir / (name + "." + paper + ".bbox")));
                    EXPECT_EQ(pages.size(), 3u) << row;
                    for (const PageWords& page : pages) {
                        for (std::size_t i = 0; i < page.words.size(); ++i) {
                            const Word& a = page.words[i];
                            EXPECT_TRUE(a.x0 > Margin - Slack && a.y0 > Margin - Slack
                                && a.x1 < page.width - Margin + Slack
                                && a.y1 < page.height - Margin + Slack)
                                << row << " " << paper << " " << name << ": " << a.text
                                << " outside the margins";
                            for (std::size_t j = i + 1; j < page.words.size(); ++j) {
                                const Word& b = page.words[j];
                                EXPECT_FALSE(std::min(a.x1, b.x1) - std::max(a.x0, b.x0) > Slack
                                    && std::min(a.y1, b.y1) - std::max(a.y0, b.y0) > Slack)
                                    << row << " " << paper << " " << name << ": " << a.text
                                    << " overlaps " << b.text;
                            }
                        }
                    }
                }
            }
        }
    }
}

// With --check-url every family's PDF, typeset and plain, on A4 and Letter, is still one page a
// version, and each page's QR code reads back (zbarimg from a 150 dpi picture) as that
// version's own self-check link (the seeds wrap round past 2^32 - 1), the longest link of the
// longest address included.
TEST_F(CliTest, SelfCheckCodesReadBackAsEachVersionsLink)
{
    for (const std::string tool : { "pdftoppm", "zbarimg" }) {
        if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0)
            GTEST_SKIP() << tool << " not found (scripts/install-deps --tools installs it)";
    }
    std::string site = "https://school.example.org/";
    site += std::string(MaxSiteLength - site.size() - 1, 'q') + "/";
    for (const Family* family : families()) {
        const std::string options
            = family->takes_fraction_answers() ? " --distinct --fraction-answers" : " --distinct";
        for (const std::string paper : { "a4", "letter" }) {
            for (const std::string style : { "typeset", "plain" }) {
                const std::string row = std::string(family->name) + " " + paper + " " + style;
                const Outcome read = shell("set -e; cd \"$D\"; \"$SHEET\" "
                    + std::string(family->name) + " mixed --seed 4294967295 --versions 2" + options
                    + " --format pdf --paper " + paper + " --style " + style + " --check-url "
                    + site
                    + " --output q.pdf; rm -f q-*.png\n"
                    // the bottom 2 in of each page, where the code is
                    + "pdftoppm -r 150 -gray -y " + (paper == "a4" ? "1454" : "1350")
                    + " -H 300 -png q.pdf q\n"
                      "for page in q-*.png; do zbarimg -q --raw \"$page\"; echo; done");
                ASSERT_EQ(read.status, 0) << row << read.err;
                std::string expected;
                for (const char* seed : { "4294967295", "0" })
                    expected += site + "?family=" + std::string(family->name)
                        + "&form=mixed&seed=" + seed + "&distinct=1"
                        + (family->takes_fraction_answers() ? "&fraction-answers=1" : "")
                        + "&check=1\n\n";
                EXPECT_EQ(read.out, expected) << row;
            }
        }
    }
}

// Documents compared byte for byte with their golden files.
TEST(Writers, GoldenDocuments)
{
    // Two fraction-equation sheets after four blank lines make three Letter pages whose first
    // break would fall inside a problem; a line wider than the page is scaled whole.
    Text both = u"\n\n\n\n";
    for (const std::uint32_t seed : { 1u, 2u })
        both += make_sheet(
            *find_family("fraction-equations"), { .selection = FormSelection::mixed() }, seed);
    const Text wide = u"1.) " + Text(150, u'x') + u" = 5\n\n2.) x = 1";
    // Specials escaped and blanks kept; line feeds end paragraphs, non-blank lines kept together;
    // Windows-1252 fallbacks of the 0x80..0x9F row, characters outside it and outside the BMP
    // (surrogate halves as signed 16-bit values), control characters as the document holds them.
    const Text escapes = u"  a\\b{c}  \td\n\n b\nc\n\u00B2\u2014\u2022\u00F7\u4E2D\U0001F600\n"
                         u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
                         u"\u0152\u017D\u2018\u2019\u201C\u201D\u2013\u02DC\u2122\u0161\u203A"
                         u"\u0153\u017E\u0178\u0081\n"
        + std::u16string(u"a\0b\x07\x1f\x7f\x9f\r\f", 9);
    // A run at 9.75 points, with no whole half-point size, is written at 10.
    const std::vector<TextRun> runs {
        TextRun { .text = u"plain ", .point_size = 9.75 },
        TextRun {
            .text = u"bold", .font_family = u"Liberation Sans", .point_size = 14, .bold = true },
        TextRun { .text = u"iu", .point_size = 8, .italic = true, .underline = true },
    };
    const std::pair<std::string, std::string> documents[] = {
        { "pages.pdf", worksheets_pdf({ both }, 10, LetterPaper) },
        { "wide.pdf", worksheets_pdf({ wide }, 10, LetterPaper) },
        { "wide.rtf", worksheet_rtf(wide, 10, LetterPaper) },
        { "escapes.rtf", worksheet_rtf(escapes, 12, A4Paper) },
        { "runs.rtf", write_rtf(runs, A4Paper) },
        { "empty.rtf", write_rtf({}, LetterPaper) },
    };
    for (const auto& [name, bytes] : documents)
        expect_golden(name, bytes);
}

// Page breaks: lines fill a page; a block of non-blank lines that would cross the page's end
// moves to the next page whole, unless it alone is taller than a page.
TEST(PageLayout, PageStarts)
{
    const struct {
        const char* name;
        std::string lines; // '#' a text line, '.' a blank line, all one unit high
        double page;
        std::vector<std::size_t> starts;
    } cases[] = {
        { "fits on one page", "#.#.#", 5, { 0 } },
        { "a page starts with text", "#..#..", 3, { 0, 3 } },
        { "a block moves whole", "#.###", 4, { 0, 2 } },
        { "a block at the top of a page stays", "###.#", 3, { 0, 4 } },
        { "a block taller than a page breaks where full", "#.#####", 3, { 0, 3, 6 } },
        { "so does a first block", "###", 2, { 0, 2 } },
        { "blank lines at a break end the page", "###..###", 3, { 0, 5 } },
        { "the document ends in blank lines", "###...", 3, { 0 } },
        { "each page in turn", "###.###.###", 5, { 0, 4, 8 } },
        { "empty document", "", 5, { 0 } },
    };
    for (const auto& c : cases) {
        std::vector<double> heights(c.lines.size(), 1);
        std::vector<bool> blank;
        for (const char line : c.lines)
            blank.push_back(line == '.');
        EXPECT_EQ(page_starts(heights, blank, c.page), c.starts) << c.name;
    }
    // Taller lines count by their height; a line taller than a page has a page of its own.
    const std::vector<double> heights { 1, 1, 5, 1 };
    const std::vector<bool> blank { false, true, false, false };
    EXPECT_EQ(page_starts(heights, blank, 3), (std::vector<std::size_t> { 0, 2, 3 }));
}
