#include "engine/maths_text.h"

#include "engine/maths.h"

namespace quillora {

void append_fraction(Text& out, long p, long q)
{
    append_maths_text(out, rational(p, q));
}

void append_polynomial(Text& out, long a, long b, long c)
{
    append_maths_text(out, polynomial(a, b, c));
}

void append_solution(Text& out, long p, long q)
{
    append_maths_text(out, solution(p, q));
}

} // namespace quillora
