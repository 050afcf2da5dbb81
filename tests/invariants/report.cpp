#include "tests/invariants/report.h"

namespace quillora::invariants {

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

} // namespace quillora::invariants
