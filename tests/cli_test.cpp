// Runs quillora-sheet as a process: exit statuses, messages, output files, and a LibreOffice
// read-back of its rich text.

#include "dialog/catalogue.h"
#include "rtf/rtf_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace quillora;
namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string templ = (fs::temp_directory_path() / "quillora-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        dir = templ;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool with a shell-quoted argument string, optionally after a shell prefix.
    Outcome sheet(const std::string& args, const std::string& prefix = "")
    {
        const std::string command = prefix + " '" QUILLORA_SHEET "' " + args + " >'"
            + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
        const int raw = std::system(command.c_str());
        return { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / "out"),
            read_file(dir / "err") };
    }

    fs::path dir;
};

// The engine's sheet of a family and form name for a seed.
RunResult engine(std::string_view family, std::string_view form, std::uint32_t seed,
    bool ticked = false, bool distinct = false)
{
    const FamilyEntry& entry = *find_family(family);
    Mt19937Source source(seed);
    return entry.run({ .selection = *parse_form(entry, form),
                         .fraction_answers_ok = ticked,
                         .distinct = distinct },
        source);
}

// A page's or a sheet's non-blank lines with blank runs collapsed, as pdftotext lays them out.
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

// The pages of a PDF file as pdftotext -layout reads them.
std::vector<std::string> pdf_pages(const fs::path& pdf)
{
    const fs::path text = fs::path(pdf).replace_extension("pages");
    if (std::system(("pdftotext -layout '" + pdf.string() + "' '" + text.string() + "'").c_str()))
        return {};
    std::string all = read_file(text);
    std::vector<std::string> pages;
    for (std::size_t start = 0, end = 0; (end = all.find('\f', start)) != std::string::npos;
         start = end + 1)
        pages.push_back(all.substr(start, end - start));
    return pages;
}

} // namespace

// Whole outputs, byte for byte, of the commands in tests/data/golden/list.tsv: every form with
// seeds that reach every redraw, the box ticked, "none", distinct sheets, rich text and PDF.
// After a deliberate change, remake them with tests/data/golden/make.
TEST_F(CliTest, GoldenOutputs)
{
    std::ifstream list(QUILLORA_TEST_DATA "/golden/list.tsv");
    int count = 0;
    for (std::string row; std::getline(list, row); ++count) {
        const std::string name = row.substr(0, row.find('\t'));
        EXPECT_EQ(
            sheet(row.substr(name.size() + 1)).out, read_file(fs::path(QUILLORA_TEST_DATA "/golden") / name))
            << name;
    }
    EXPECT_GT(count, 100);
}

TEST_F(CliTest, ClockSeedIsReportedAndReproducible)
{
    const Outcome run = sheet("binomials Bin3");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.err.rfind("seed: ", 0), 0u) << run.err;
    EXPECT_EQ(run.out,
        to_utf8(engine("binomials", "Bin3", std::uint32_t(std::stoul(run.err.substr(6)))).text));

    const Outcome set = sheet("binomials Bin3 --versions 3");
    ASSERT_EQ(set.status, 0);
    const std::uint32_t first = std::uint32_t(std::stoul(set.err.substr(7)));
    EXPECT_EQ(
        set.err, "seeds: " + std::to_string(first) + ".." + std::to_string(first + 2u) + "\n");
    EXPECT_EQ(
        set.out.substr(0, set.out.find('\f')), to_utf8(engine("binomials", "Bin3", first).text));
}

// Version i of a set is the single run of seed N + i - 1 (wrapping at 2^32): text versions
// joined by form feeds, PDF versions each on its own page with every line whole; one version is
// today's output byte for byte.
TEST_F(CliTest, VersionsAreTheSingleRunsOfConsecutiveSeeds)
{
    const struct {
        std::string args;
        std::uint32_t seed;
        int versions;
        bool pdf;
        std::string environment = ""; // the system's paper comes from libpaper's setting
    } cases[] = {
        { "factoring mixed", 100, 30, true },
        { "fractions mixed", 4294967294u, 3, false },
        { "equations --fraction-answers mixed --distinct", 9, 3, false },
        { "fraction-equations FB1 --paper letter", 7, 2, true },
        { "binomials Bin8 --distinct", 4294967295u, 2, true, "PAPERSIZE=letter" },
    };
    for (const auto& c : cases) {
        const std::string format = c.pdf ? " --format pdf" : "";
        const Outcome set
            = sheet(c.args + format + " --seed " + std::to_string(c.seed) + " --versions "
                    + std::to_string(c.versions) + " --output '" + (dir / "set").string() + "'",
                c.environment);
        ASSERT_EQ(set.status, 0) << c.args;
        const std::string all = read_file(dir / "set");
        std::vector<std::string> parts;
        if (c.pdf) {
            const bool letter = (c.args + c.environment).find("letter") != std::string::npos;
            EXPECT_NE(
                all.find(letter ? "612.0000 792.0000" : "595.2756 841.8898"), std::string::npos);
            parts = pdf_pages(dir / "set");
        } else {
            for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
                parts.push_back(all.substr(start, (end = all.find('\f', start)) - start));
        }
        ASSERT_EQ(parts.size(), std::size_t(c.versions)) << c.args;
        for (int i = 0; i < c.versions; ++i) {
            const std::string single
                = sheet(c.args + " --seed " + std::to_string(c.seed + std::uint32_t(i))).out;
            if (c.pdf)
                EXPECT_EQ(lines(parts[std::size_t(i)]), lines(single)) << c.args << " " << i;
            else
                EXPECT_EQ(parts[std::size_t(i)], single) << c.args << " " << i;
        }
    }
    for (const std::string format : { "text", "rtf", "pdf" }) {
        const std::string args = "binomials Bin8 --seed 1 --format " + format;
        EXPECT_EQ(sheet(args + " --versions 1").out, sheet(args).out) << format;
    }
}

TEST_F(CliTest, UsageErrorsNameTheBadValueAndTheChoices)
{
    const std::string fams = " (fractions, equations, fraction-equations, binomials, factoring)";
    const std::string opts = " (--fraction-answers, --seed, --versions, --distinct, --format, "
                             "--paper, --output, --help, --version)";
    const std::string versions = " (a whole number from 1 to 1000)";
    const std::string seeds = " (a whole number from 0 to 4294967295)";
    const std::string eq = " for equations (EQ1..EQ6, mixed, none)";
    const std::string fb = " for fraction-equations (FB1..FB5, mixed, none)";
    const std::string bin = " for binomials (Bin1..Bin8, mixed, none)";
    const std::string fac
        = " for factoring (EGF, HGF, EGFGCF, HGFGCF, GCF, DOTS, PST, mixed, none)";
    const std::string frac
        = " for fractions (addition, subtraction, multiplication, division, mixed)";
    const std::string only = " (only to equations)", ans = "--fraction-answers does not apply to ";
    const std::pair<std::string, std::string> cases[] = {
        { "", "missing family" + fams },
        { "algebra Bin1", "unknown family 'algebra'" + fams },
        { "equations", "missing form" + eq },
        { "equations EQ7", "unknown form 'EQ7'" + eq },
        { "equations EQ2 --fraction-answers=1", "unknown option '--fraction-answers=1'" + opts },
        { "fraction-equations", "missing form" + fb },
        { "fraction-equations FB6", "unknown form 'FB6'" + fb },
        { "fraction-equations FB2 --fraction-answers", ans + "fraction-equations" + only },
        { "binomials", "missing form" + bin },
        { "binomials Bin9", "unknown form 'Bin9'" + bin },
        { "binomials Bin1 extra", "unexpected argument 'extra' (one family and one form)" },
        { "binomials Bin1 --seed -1", "invalid seed '-1'" + seeds },
        { "binomials Bin1 --seed 4294967296", "invalid seed '4294967296'" + seeds },
        { "binomials Bin1 --seed 12ab", "invalid seed '12ab'" + seeds },
        { "binomials Bin1 --seed", "option '--seed' needs a value" },
        { "factoring", "missing form" + fac },
        { "factoring egf", "unknown form 'egf'" + fac },
        { "factoring EGF --fraction-answers", ans + "factoring" + only },
        { "binomials Bin1 --format ps", "unknown format 'ps' (text, rtf, pdf)" },
        { "binomials Bin1 --versions 0", "invalid number of versions '0'" + versions },
        { "binomials Bin1 --versions 1001", "invalid number of versions '1001'" + versions },
        { "binomials Bin1 --versions=2x", "invalid number of versions '2x'" + versions },
        { "binomials Bin1 --paper a5", "unknown paper 'a5' (a4, letter)" },
        { "binomials Bin1 --distinct=yes", "unknown option '--distinct=yes'" + opts },
        { "binomials Bin1 --fraction-answers", ans + "binomials" + only },
        { "binomials Bin1 --colour", "unknown option '--colour'" + opts },
        { "fractions none", "unknown form 'none'" + frac },
        { "fractions Addition", "unknown form 'Addition'" + frac },
        { "fractions --fraction-answers", ans + "fractions" + only },
    };
    for (const auto& [args, message] : cases) {
        const Outcome run = sheet(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err, "quillora-sheet: " + message + "\n") << args;
        EXPECT_EQ(run.out, "") << args;
    }
    const Outcome help = sheet("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* line : { "binomials: Bin1..Bin8, mixed, none",
             "fractions: addition, subtraction, multiplication, division, mixed (default addition)",
             "equations: EQ1..EQ6, mixed, none",
             "factoring: EGF, HGF, EGFGCF, HGFGCF, GCF, DOTS, PST, mixed, none" })
        EXPECT_NE(help.out.find(line), std::string::npos) << help.out;
    const std::string terminal_run = "script -qec \"'" QUILLORA_SHEET
                                     "' binomials Bin1 --format pdf\" /dev/null >'"
        + (dir / "tty").string() + "'";
    const int terminal = std::system(terminal_run.c_str());
    EXPECT_EQ(WEXITSTATUS(terminal), 2);
    EXPECT_EQ(read_file(dir / "tty"),
        "quillora-sheet: will not write PDF to a terminal (use --output FILE or a pipe)\r\n");
    const Outcome version = sheet("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("quillora-sheet ", 0), 0u);
}

TEST_F(CliTest, OutputFileGetsTextOrRichText)
{
    const fs::path file = dir / "sheet.rtf";
    EXPECT_EQ(
        sheet("binomials Bin5 --seed 7 --format rtf --output '" + file.string() + "'").status, 0);
    const RunResult result = engine("binomials", "Bin5", 7);
    EXPECT_EQ(read_file(file), worksheet_rtf(result.text, 12, A4Paper));

    // replacing an existing file keeps its permissions and leaves no temporary file behind
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, perms);
    EXPECT_EQ(sheet("binomials Bin5 --seed 7 --output '" + file.string() + "'").status, 0);
    EXPECT_EQ(read_file(file), to_utf8(result.text));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, perms);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3); // out, err, file
}

TEST_F(CliTest, UnwritableOutputFailsWithStatusOneAndKeepsTheOldFile)
{
    const fs::path keep = dir / "keep.txt";
    std::ofstream(keep) << "old worksheet";
    const fs::path folder = dir / "folder";
    fs::create_directory(folder);

    const std::pair<std::string, std::string> cases[] = {
        { (dir / "missing" / "a.txt").string(), "No such file or directory" },
        { (keep / "a.txt").string(), "Not a directory" },
        { folder.string(), "Is a directory" },
        { "/dev/full", "No space left on device" },
        // a write that fails part-way (a 512-byte file size limit) leaves the existing file
        { keep.string(), "File too large" },
    };
    for (const auto& [path, reason] : cases) {
        const Outcome run = sheet("binomials Bin1 --seed 1 --versions 40 --output '" + path + "'",
            path == keep.string() ? "ulimit -f 1;" : "");
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.err, "quillora-sheet: cannot write '" + path + "': " + reason + "\n");
    }
    EXPECT_EQ(read_file(keep), "old worksheet");
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);

    const int full
        = std::system("'" QUILLORA_SHEET "' binomials Bin1 --seed 1 >/dev/full 2>/dev/null");
    EXPECT_EQ(WEXITSTATUS(full), 1);
}

// Saved rich text opened by LibreOffice reads back as the same text in Courier New at 12 points.
TEST_F(CliTest, RichTextReadsBackInLibreOffice)
{
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        FAIL() << "soffice not found: run scripts/install-deps";
    const std::string forms[] = { "mixed", "Bin6", "Bin8", "none" };
    std::string files;
    for (const auto& form : forms) {
        const fs::path file = dir / (form + ".rtf");
        ASSERT_EQ(
            sheet("binomials " + form + " --seed 11 --format rtf --output '" + file.string() + "'")
                .status,
            0);
        files += " '" + file.string() + "'";
    }
    ASSERT_EQ(sheet("binomials mixed --seed 11 --versions 3 --format rtf --output '"
                  + (dir / "set.rtf").string() + "'")
                  .status,
        0);
    const std::string office = "soffice -env:UserInstallation=file://" + (dir / "profile").string()
        + " --headless --convert-to ";
    for (const char* to : { "'txt:Text (encoded):UTF8'", "fodt", "pdf" }) {
        const std::string command = office + to + " --outdir '" + dir.string() + "'" + files
            + (to == std::string("pdf") ? " '" + (dir / "set.rtf").string() + "'" : "");
        ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << to;
    }

    for (const auto& form : forms) {
        std::string back = read_file(dir / (form + ".txt"));
        if (back.rfind("\xEF\xBB\xBF", 0) == 0)
            back.erase(0, 3);
        EXPECT_EQ(back, to_utf8(engine("binomials", form, 11).text)) << form;
        const std::string flat = read_file(dir / (form + ".fodt"));
        EXPECT_NE(flat.find("style:font-name=\"Courier New\""), std::string::npos) << form;
        EXPECT_NE(flat.find("fo:font-size=\"12pt\""), std::string::npos) << form;
    }
    // a set of versions prints each version on a page of its own, every line whole
    const std::vector<std::string> pages = pdf_pages(dir / "set.pdf");
    ASSERT_EQ(pages.size(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(lines(pages[i]), lines(to_utf8(engine("binomials", "mixed", 11 + i).text))) << i;
}
