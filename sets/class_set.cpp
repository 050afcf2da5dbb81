#include "sets/class_set.h"

#include "engine/maths.h"
#include "engine/pdf_writer.h"
#include "engine/rtf_writer.h"
#include "families/catalogue.h"
#include "sets/check_code.h"
#include "typeset/typeset_pdf.h"

#include <algorithm>
#include <string_view>

namespace quillora {

Text version_label(int i, int versions, std::uint32_t seed)
{
    Text label;
    if (versions > 1) {
        label += u"Version ";
        append_number(label, i + 1);
        label += u" of ";
        append_number(label, versions);
        label += u" \u00B7 ";
    }
    label += u"seed ";
    append_number(label, static_cast<long long>(seed));
    return label;
}

Text answer_key(const Family& family, const std::vector<Problem>& problems, TextView label)
{
    Text key(family.title);
    key += u"\nAnswers\n";
    key += label;
    key += u'\n';
    std::vector<Text> entries;
    std::size_t width = 0; // of the left column
    for (std::size_t i = 0; i < problems.size(); ++i) {
        Text entry = number_text(static_cast<long long>(i + 1));
        entry += u".) ";
        append_maths_text(entry, problems[i].answer());
        if (i % 2 == 0)
            width = std::max(width, entry.size());
        entries.push_back(std::move(entry));
    }
    for (std::size_t i = 0; i < entries.size(); i += 2) {
        key += u'\n';
        key += entries[i];
        if (i + 1 < entries.size()) {
            key.append(width + 3 - entries[i].size(), u' ');
            key += entries[i + 1];
        }
        key += u'\n';
    }
    return key;
}

namespace {

std::string render(const std::vector<Text>& sheets, Format format, double size, const Paper& paper,
    const PageFurniture& furniture)
{
    switch (format) {
    case Format::Text:
        return to_utf8(join_pages(sheets));
    case Format::Rtf:
        return worksheets_rtf(sheets, size, paper, &furniture);
    case Format::Pdf:
        return worksheets_pdf(sheets, size, paper, &furniture);
    }
    return {};
}

} // namespace

RenderedSet render_set(const SetRequest& request, std::uint32_t first, const Paper& paper)
{
    const bool answers = request.keys;
    const Family& family = *request.family;
    const auto versions = static_cast<std::size_t>(request.versions);
    std::vector<Text> sheets;
    sheets.reserve(versions);
    std::vector<Text> keys;
    std::vector<Problem> problems;
    PageFurniture furniture;
    furniture.name_line = true;
    furniture.title = family.title;
    const bool typeset = request.format == Format::Pdf && request.style == Style::Typeset;
    // about what a typeset page takes, so the files are not moved as they grow
    constexpr std::size_t TypesetPageBytes = 16384;
    PdfPages pages(typeset_fonts(), paper, typeset ? versions : 0, TypesetPageBytes * versions);
    PdfPages key_pages(
        typeset_fonts(), paper, typeset && answers ? versions : 0, TypesetPageBytes * versions);
    for (int i = 0; i < request.versions; ++i) {
        const std::uint32_t seed = version_seed(first, i);
        problems.clear();
        sheets.push_back(
            make_sheet(family, request.options, seed, answers || typeset ? &problems : nullptr));
        // labels only where a page shows them
        if (request.format != Format::Text || answers)
            furniture.footers.push_back(version_label(i, request.versions, seed));
        // the sheet's self-check page: a QR code on PDF pages, the link under it and in text
        if (request.check_url) {
            const std::string link = check_link(*request.check_url, family, request.options, seed);
            FooterMark mark;
            if (request.format == Format::Pdf)
                mark = qr_code(link, CheckCodeSide);
            mark.caption = check_caption(link);
            if (request.format == Format::Text)
                sheets.back() += mark.caption + u'\n';
            furniture.marks.push_back(std::move(mark));
        }
        if (typeset) {
            TypesetPage page;
            page.title = family.title;
            const std::string_view asked = instruction(family, request.options.selection);
            page.instruction.assign(asked.begin(), asked.end()); // ASCII
            page.label = furniture.footers.back();
            page.name_line = true;
            page.columns = family.columns;
            for (const Problem& problem : problems)
                page.items.push_back(problem.maths());
            if (request.check_url)
                page.footer_mark = furniture.marks.back();
            pages.add(typeset_page(page, paper));
            if (answers) {
                page.footer_mark = {};
                page.title += u" \u2014 Answers";
                page.name_line = false;
                page.columns = 0;
                page.fill = false;
                // a value, a product or a factorisation equals its problem; a solution stands alone
                for (const Problem& problem : problems) {
                    page.answers.push_back(family.task == Task::Solve
                            ? problem.answer()
                            : Maths::row({ Maths::symbol(Maths::Kind::Equals), problem.answer() }));
                }
                key_pages.add(typeset_page(page, paper));
            }
        } else if (answers) {
            keys.push_back(answer_key(family, problems, furniture.footers.back()));
        }
    }
    furniture.subject = request.versions == 1 ? u"seed " : u"seeds ";
    append_number(furniture.subject, static_cast<long long>(first));
    if (request.versions > 1) {
        furniture.subject += u"..";
        append_number(
            furniture.subject, static_cast<long long>(version_seed(first, request.versions - 1)));
    }

    RenderedSet set;
    if (typeset) {
        set.worksheets = std::move(pages).finish(&furniture);
        if (answers) {
            furniture.title += u" \u2014 Answers";
            set.answers = std::move(key_pages).finish(&furniture);
        }
        return set;
    }
    const double size = family.sheet_font_size();
    set.worksheets = render(sheets, request.format, size, paper, furniture);
    if (answers) {
        furniture.name_line = false;
        furniture.marks.clear();
        furniture.title += u" \u2014 Answers";
        set.answers = render(keys, request.format, size, paper, furniture);
    }
    return set;
}

} // namespace quillora
