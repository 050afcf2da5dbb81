#include "tests/invariants/sheet_checks.h"

#include "tests/invariants/binomials_invariants.h"
#include "tests/invariants/equations_invariants.h"
#include "tests/invariants/factoring_invariants.h"
#include "tests/invariants/fraction_equations_invariants.h"
#include "tests/invariants/fractions_invariants.h"

namespace quillora::invariants {

SheetCheck sheet_check(std::string_view family)
{
    if (family == "fractions")
        return check_fractions_sheet;
    if (family == "equations")
        return check_equations_sheet;
    if (family == "fraction-equations")
        return check_fraction_equations_sheet;
    if (family == "binomials")
        return check_binomials_sheet;
    if (family == "factoring")
        return check_factoring_sheet;
    return nullptr;
}

} // namespace quillora::invariants
