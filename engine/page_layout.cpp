#include "engine/page_layout.h"

#include <algorithm>
#include <cmath>

namespace quillora {

bool is_blank_line(TextView line)
{
    return std::all_of(
        line.begin(), line.end(), [](char16_t c) { return c == u' ' || c == u'\t'; });
}

std::vector<TextView> text_lines(TextView text)
{
    std::vector<TextView> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(u'\n', start);
        if (end == TextView::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::size_t longest_line(TextView text)
{
    std::size_t longest = 0;
    for (const TextView line : text_lines(text))
        longest = std::max(longest, line.size());
    return longest;
}

std::vector<std::size_t> page_starts(
    std::span<const double> line_heights, const std::vector<bool>& blank, double page_height)
{
    const std::size_t count = line_heights.size();
    auto is_blank = [&](std::size_t i) { return i < blank.size() && blank[i]; };
    std::vector<std::size_t> starts { 0 };
    double used = 0;
    std::size_t block_start = 0; // first line of the current non-blank block
    for (std::size_t i = 0; i < count; ++i) {
        if (is_blank(i) || i == 0 || is_blank(i - 1))
            block_start = i;
        if (used + line_heights[i] > page_height && i > starts.back()) {
            // Move the whole block when it starts on this page below its top and fits a page.
            double block_height = 0;
            for (std::size_t end = block_start; end < count && !is_blank(end); ++end)
                block_height += line_heights[end];
            std::size_t start
                = !is_blank(i) && block_start > starts.back() && block_height <= page_height
                ? block_start
                : i;
            // Blank lines at the break end the page: a page starts with its first text line.
            while (start < count && is_blank(start))
                ++start;
            if (start == count)
                break;
            starts.push_back(start);
            used = 0;
            for (std::size_t j = start; j < i; ++j)
                used += line_heights[j];
            if (start > i) {
                i = start;
                block_start = start;
            }
        }
        used += line_heights[i];
    }
    return starts;
}

double fit_scale(double widest, double printable_width)
{
    if (widest <= printable_width || widest <= 0)
        return 1;
    return printable_width / widest;
}

double fixed_pitch_caption_size(TextView caption, double width)
{
    const double fits = width / (static_cast<double>(caption.size()) * FixedPitchAdvance);
    return std::floor(std::min(FooterSize, fits) * 2) / 2;
}

double file_side_margin(const Paper& paper, double longest_line_width)
{
    const double room = (paper.width - longest_line_width) / 2;
    return std::clamp(room, NarrowestFileMargin, WidestFileMargin);
}

} // namespace quillora
