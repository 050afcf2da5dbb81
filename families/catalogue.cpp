#include "families/catalogue.h"

#include "families/binomials/binomials.h"
#include "families/equations/equations.h"
#include "families/factoring/factoring.h"
#include "families/fraction_equations/fraction_equations.h"
#include "families/fractions/fractions.h"

namespace quillora {

namespace {

constexpr const Family* All[] = { &fractions_family, &equations_family, &fraction_equations_family,
    &binomials_family, &factoring_family };

// "Bin1..Bin8" when the codes are one stem numbered 1 to n, else the codes joined by ", ".
std::string join_forms(std::span<const Form> forms)
{
    bool numbered = forms.size() > 2;
    const std::string_view first = forms.empty() ? "" : forms.front().code;
    const std::string stem(first.substr(0, first.empty() ? 0 : first.size() - 1));
    for (std::size_t i = 0; numbered && i < forms.size(); ++i)
        numbered = forms[i].code == stem + std::to_string(i + 1);
    if (numbered)
        return std::string(forms.front().code) + ".." + std::string(forms.back().code);
    std::string out;
    for (const Form& form : forms) {
        if (!out.empty())
            out += ", ";
        out += form.code;
    }
    return out;
}

} // namespace

std::span<const Family* const> families()
{
    return All;
}

const Family* find_family(std::string_view name)
{
    for (const Family* family : All) {
        if (family->name == name)
            return family;
    }
    return nullptr;
}

std::optional<FormSelection> parse_form(const Family& family, std::string_view form)
{
    if (form == "mixed")
        return FormSelection::mixed();
    if (form == "none" && !family.default_form)
        return FormSelection::none();
    for (std::size_t i = 0; i < family.forms.size(); ++i) {
        if (family.forms[i].code == form)
            return FormSelection::form(static_cast<int>(i) + 1);
    }
    return std::nullopt;
}

std::string_view form_name(const Family& family, FormSelection selection)
{
    if (selection.is_mixed())
        return "mixed";
    if (selection.is_none())
        return "none";
    return family.forms[static_cast<std::size_t>(selection.place() - 1)].code;
}

std::string form_choices(const Family& family)
{
    std::string out = join_forms(family.forms) + ", mixed";
    if (!family.default_form)
        out += ", none";
    return out;
}

std::string family_choices()
{
    std::string out;
    for (const Family* family : All) {
        if (!out.empty())
            out += ", ";
        out += family->name;
    }
    return out;
}

} // namespace quillora
