#include "engine/maths_text.h"

#include <numeric>

namespace quillora {

void append_fraction(Text& out, long p, long q)
{
    const long g = std::gcd(p, q);
    p /= g;
    q /= g;
    if (q < 0) {
        p = -p;
        q = -q;
    }
    append_number(out, p);
    if (q != 1) {
        out += u'/';
        append_number(out, q);
    }
}

void append_polynomial(Text& out, long a, long b, long c)
{
    const std::size_t start = out.size();
    auto term = [&](long k, TextView power) {
        if (k == 0)
            return;
        if (out.size() > start)
            out += k < 0 ? u" - " : u" + ";
        else if (k < 0)
            out += u'-';
        const long magnitude = k < 0 ? -k : k;
        if (magnitude != 1 || power.empty())
            append_number(out, magnitude);
        out += power;
    };
    term(a, u"x\u00B2");
    term(b, u"x");
    term(c, u"");
    if (out.size() == start)
        out += u'0';
}

void append_solution(Text& out, long p, long q)
{
    if (q == 0) {
        out += p == 0 ? u"every x" : u"no solution";
        return;
    }
    out += u"x = ";
    append_fraction(out, p, q);
}

} // namespace quillora
