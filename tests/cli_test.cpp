// Runs quillora-sheet as a process: exit statuses, messages, output files, and a LibreOffice
// read-back of its rich text.

#include "dialog/random_source.h"
#include "families/binomials/binomials.h"
#include "families/equations/equations.h"
#include "families/factoring/factoring.h"
#include "families/fraction_equations/fraction_equations.h"
#include "families/fractions/fractions.h"
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

std::string engine_sheet(FormSelection selection, std::uint32_t seed)
{
    Mt19937Source source(seed);
    return to_utf8(multiply_binomials({ .selection = selection }, source).text);
}

} // namespace

TEST_F(CliTest, PrintsTheEngineWorksheetForTheSeed)
{
    const Outcome mixed = sheet("binomials mixed --seed 42");
    EXPECT_EQ(mixed.status, 0);
    EXPECT_EQ(mixed.err, "");
    EXPECT_EQ(mixed.out, engine_sheet(FormSelection::mixed(), 42));
    EXPECT_EQ(sheet("binomials Bin8 --seed=4294967295").out,
        engine_sheet(FormSelection::form(8), 4294967295u));
    EXPECT_EQ(sheet("binomials none --seed 0").out, engine_sheet(FormSelection::none(), 0));

    const std::pair<std::string, FormSelection> factoring_forms[]
        = { { "EGF", FormSelection::form(1) }, { "PST", FormSelection::form(7) },
              { "mixed", FormSelection::mixed() }, { "none", FormSelection::none() } };
    for (const auto& [form, selection] : factoring_forms) {
        Mt19937Source source(9);
        EXPECT_EQ(sheet("factoring " + form + " --seed 9").out,
            to_utf8(factoring({ .selection = selection }, source).text))
            << form;
    }
}

TEST_F(CliTest, FractionsDefaultToAdditionAndKeepTheFreshWindowSize)
{
    auto engine = [](FormSelection selection, std::uint32_t seed) {
        Mt19937Source source(seed);
        return fractions({ .selection = selection }, source).text;
    };
    const Outcome plain = sheet("fractions --seed 42");
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(plain.out, to_utf8(engine(FormSelection::form(1), 42)));
    EXPECT_EQ(sheet("fractions addition --seed 42").out, plain.out);
    const std::pair<std::string, int> forms[]
        = { { "subtraction", 2 }, { "multiplication", 3 }, { "division", 4 } };
    for (const auto& [form, place] : forms)
        EXPECT_EQ(sheet("fractions " + form + " --seed=4294967295").out,
            to_utf8(engine(FormSelection::form(place), 4294967295u)))
            << form;
    EXPECT_EQ(sheet("fractions mixed --seed 0").out, to_utf8(engine(FormSelection::mixed(), 0)));

    // no font size of its own: the rich text carries a fresh worksheet window's 9.75 points
    const Outcome rtf = sheet("fractions mixed --seed 3 --format rtf");
    EXPECT_EQ(rtf.status, 0);
    const Text text = engine(FormSelection::mixed(), 3);
    EXPECT_EQ(rtf.out, worksheet_rtf(text, FreshWindowFontSize));
    EXPECT_NE(rtf.out, worksheet_rtf(text, 12));
}

TEST_F(CliTest, EquationsWithAndWithoutFractionAnswers)
{
    auto engine = [](FormSelection selection, bool ticked, std::uint32_t seed) {
        Mt19937Source source(seed);
        return to_utf8(
            equations({ .selection = selection, .fraction_answers_ok = ticked }, source).text);
    };
    const Outcome clear = sheet("equations EQ5 --seed 9");
    EXPECT_EQ(clear.status, 0);
    EXPECT_EQ(clear.out, engine(FormSelection::form(5), false, 9));
    const Outcome ticked = sheet("equations --fraction-answers mixed --seed 9");
    EXPECT_EQ(ticked.status, 0);
    EXPECT_EQ(ticked.out, engine(FormSelection::mixed(), true, 9));
    EXPECT_NE(ticked.out, engine(FormSelection::mixed(), false, 9));
    EXPECT_EQ(sheet("equations none --seed 0").out, engine(FormSelection::none(), false, 0));
}

TEST_F(CliTest, FractionEquationSheetsAsTextAndRichText)
{
    const std::pair<std::string, FormSelection> forms[]
        = { { "FB1", FormSelection::form(1) }, { "FB5", FormSelection::form(5) },
              { "mixed", FormSelection::mixed() }, { "none", FormSelection::none() } };
    for (const auto& [form, selection] : forms) {
        Mt19937Source source(4294967295u);
        const RunResult result = fraction_busters({ .selection = selection }, source);
        const Outcome text = sheet("fraction-equations " + form + " --seed 4294967295");
        EXPECT_EQ(text.status, 0) << form;
        EXPECT_EQ(text.out, to_utf8(result.text)) << form;
        EXPECT_EQ(sheet("fraction-equations " + form + " --seed 4294967295 --format rtf").out,
            worksheet_rtf(result.text, 10))
            << form;
    }
}

TEST_F(CliTest, ClockSeedIsReportedAndReproducible)
{
    const Outcome run = sheet("binomials Bin3");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.err.rfind("seed: ", 0), 0u) << run.err;
    const auto seed = static_cast<std::uint32_t>(std::stoul(run.err.substr(6)));
    EXPECT_EQ(run.out, engine_sheet(FormSelection::form(3), seed));
}

TEST_F(CliTest, UsageErrorsNameTheBadValueAndTheChoices)
{
    const std::pair<std::string, std::string> cases[] = {
        { "", "missing family (fractions, equations, fraction-equations, binomials, factoring)" },
        { "algebra Bin1",
            "unknown family 'algebra' (fractions, equations, fraction-equations, binomials, "
            "factoring)" },
        { "equations", "missing form for equations (EQ1..EQ6, mixed, none)" },
        { "equations EQ7", "unknown form 'EQ7' for equations (EQ1..EQ6, mixed, none)" },
        { "equations EQ2 --fraction-answers=1",
            "unknown option '--fraction-answers=1' (--fraction-answers, --seed, --format, "
            "--output, --help, --version)" },
        { "fraction-equations", "missing form for fraction-equations (FB1..FB5, mixed, none)" },
        { "fraction-equations FB6",
            "unknown form 'FB6' for fraction-equations (FB1..FB5, mixed, none)" },
        { "fraction-equations FB2 --fraction-answers",
            "--fraction-answers does not apply to fraction-equations (only to equations)" },
        { "binomials", "missing form for binomials (Bin1..Bin8, mixed, none)" },
        { "binomials Bin9", "unknown form 'Bin9' for binomials (Bin1..Bin8, mixed, none)" },
        { "binomials Bin1 extra", "unexpected argument 'extra' (one family and one form)" },
        { "binomials Bin1 --seed -1", "invalid seed '-1' (a whole number from 0 to 4294967295)" },
        { "binomials Bin1 --seed 4294967296",
            "invalid seed '4294967296' (a whole number from 0 to 4294967295)" },
        { "binomials Bin1 --seed 12ab",
            "invalid seed '12ab' (a whole number from 0 to 4294967295)" },
        { "binomials Bin1 --seed", "option '--seed' needs a value" },
        { "factoring",
            "missing form for factoring (EGF, HGF, EGFGCF, HGFGCF, GCF, DOTS, PST, mixed, none)" },
        { "factoring egf",
            "unknown form 'egf' for factoring (EGF, HGF, EGFGCF, HGFGCF, GCF, DOTS, PST, mixed, "
            "none)" },
        { "factoring EGF --fraction-answers",
            "--fraction-answers does not apply to factoring (only to equations)" },
        { "binomials Bin1 --format pdf", "unknown format 'pdf' (text, rtf)" },
        { "binomials Bin1 --fraction-answers",
            "--fraction-answers does not apply to binomials (only to equations)" },
        { "binomials Bin1 --colour",
            "unknown option '--colour' (--fraction-answers, --seed, --format, --output, --help, "
            "--version)" },
        { "fractions none",
            "unknown form 'none' for fractions (addition, subtraction, multiplication, division, "
            "mixed)" },
        { "fractions Addition",
            "unknown form 'Addition' for fractions (addition, subtraction, "
            "multiplication, division, mixed)" },
        { "fractions --fraction-answers",
            "--fraction-answers does not apply to fractions (only to equations)" },
    };
    for (const auto& [args, message] : cases) {
        const Outcome run = sheet(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err, "quillora-sheet: " + message + "\n") << args;
        EXPECT_EQ(run.out, "") << args;
    }
}

TEST_F(CliTest, HelpAndVersion)
{
    const Outcome help = sheet("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("binomials: Bin1..Bin8, mixed, none"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("fractions: addition, subtraction, multiplication, division, mixed "
                            "(default addition)"),
        std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("equations: EQ1..EQ6, mixed, none"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("factoring: EGF, HGF, EGFGCF, HGFGCF, GCF, DOTS, PST, mixed, none"),
        std::string::npos);
    const Outcome version = sheet("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("quillora-sheet ", 0), 0u);
}

TEST_F(CliTest, OutputFileGetsTextOrRichText)
{
    const fs::path file = dir / "sheet.rtf";
    EXPECT_EQ(
        sheet("binomials Bin5 --seed 7 --format rtf --output '" + file.string() + "'").status, 0);
    Mt19937Source source(7);
    const auto result = multiply_binomials({ .selection = FormSelection::form(5) }, source);
    EXPECT_EQ(read_file(file), worksheet_rtf(result.text, 12));

    // replacing an existing file keeps its permissions and leaves no temporary file behind
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(sheet("binomials Bin5 --seed 7 --output '" + file.string() + "'").status, 0);
    EXPECT_EQ(read_file(file), to_utf8(result.text));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
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
    };
    for (const auto& [path, reason] : cases) {
        const Outcome run = sheet("binomials Bin1 --seed 1 --output '" + path + "'");
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.err, "quillora-sheet: cannot write '" + path + "': " + reason + "\n");
    }

    // a write that fails part-way (a 512-byte file size limit) leaves the existing file as it was
    const Outcome limited
        = sheet("binomials Bin1 --seed 1 --output '" + keep.string() + "'", "ulimit -f 1;");
    EXPECT_EQ(limited.status, 1);
    EXPECT_EQ(
        limited.err, "quillora-sheet: cannot write '" + keep.string() + "': File too large\n");
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
    const std::string office
        = "soffice -env:UserInstallation=file://" + (dir / "profile").string() + " --headless";
    const std::string out_dir = " --outdir '" + dir.string() + "'";
    ASSERT_EQ(std::system((office + " --convert-to 'txt:Text (encoded):UTF8'" + out_dir + files
                  + " >/dev/null 2>&1")
                              .c_str()),
        0);
    ASSERT_EQ(
        std::system((office + " --convert-to fodt" + out_dir + files + " >/dev/null 2>&1").c_str()),
        0);

    for (const auto& form : forms) {
        const auto selection = form == "mixed" ? FormSelection::mixed()
            : form == "none"                   ? FormSelection::none()
                                               : FormSelection::form(form.back() - '0');
        std::string back = read_file(dir / (form + ".txt"));
        if (back.rfind("\xEF\xBB\xBF", 0) == 0)
            back.erase(0, 3);
        EXPECT_EQ(back, engine_sheet(selection, 11)) << form;
        const std::string flat = read_file(dir / (form + ".fodt"));
        EXPECT_NE(flat.find("style:font-name=\"Courier New\""), std::string::npos) << form;
        EXPECT_NE(flat.find("fo:font-size=\"12pt\""), std::string::npos) << form;
    }
}
