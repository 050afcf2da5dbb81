#pragma once

#include "engine/text.h"

namespace quillora {

/// Appends p/q (q not 0) in lowest terms with the sign on the numerator; a whole number without
/// "/1".
void append_fraction(Text& out, long p, long q);

/// Appends ax² + bx + c as the worksheets write it: descending powers, zero terms left out, no
/// coefficient 1, a negative later term as " - " and its magnitude; "0" when every term is 0.
void append_polynomial(Text& out, long a, long b, long c);

/// Appends the solution of an equation that reduces to qx = p: "x = p/q" in lowest terms, and
/// for q = 0 "every x" (p = 0) or "no solution".
void append_solution(Text& out, long p, long q);

} // namespace quillora
