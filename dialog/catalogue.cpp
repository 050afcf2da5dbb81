#include "dialog/catalogue.h"

#include "families/binomials/binomials.h"
#include "families/equations/equations.h"
#include "families/factoring/factoring.h"
#include "families/fraction_equations/fraction_equations.h"
#include "families/fractions/fractions.h"

namespace quillora {

namespace {

const std::vector<FamilyEntry>& entries()
{
    static const std::vector<FamilyEntry> all = {
        {
            .name = "fractions",
            .forms = { FractionForms.begin(), FractionForms.end() },
            .default_form = DefaultFractionForm,
            .takes_fraction_answers = false,
            .run = fractions,
            .font_size = std::nullopt,
        },
        {
            .name = "equations",
            .forms = { "EQ1", "EQ2", "EQ3", "EQ4", "EQ5", "EQ6" },
            .default_form = std::nullopt,
            .takes_fraction_answers = true,
            .run = equations,
            .font_size = equations_family().font_size,
        },
        {
            .name = "fraction-equations",
            .forms = { "FB1", "FB2", "FB3", "FB4", "FB5" },
            .default_form = std::nullopt,
            .takes_fraction_answers = false,
            .run = fraction_busters,
            .font_size = fraction_equations_family().font_size,
        },
        {
            .name = "binomials",
            .forms = { "Bin1", "Bin2", "Bin3", "Bin4", "Bin5", "Bin6", "Bin7", "Bin8" },
            .default_form = std::nullopt,
            .takes_fraction_answers = false,
            .run = multiply_binomials,
            .font_size = binomials_family().font_size,
        },
        {
            .name = "factoring",
            .forms = { "EGF", "HGF", "EGFGCF", "HGFGCF", "GCF", "DOTS", "PST" },
            .default_form = std::nullopt,
            .takes_fraction_answers = false,
            .run = factoring,
            .font_size = factoring_family().font_size,
        },
    };
    return all;
}

// "Bin1..Bin8" when the names are one stem numbered 1 to n, else the names joined by ", ".
std::string join_forms(const std::vector<std::string_view>& forms)
{
    bool numbered = forms.size() > 2;
    const std::string_view stem
        = forms.empty() ? "" : forms.front().substr(0, forms.front().size() - 1);
    for (std::size_t i = 0; numbered && i < forms.size(); ++i)
        numbered = forms[i] == std::string(stem) + std::to_string(i + 1);
    if (numbered)
        return std::string(forms.front()) + ".." + std::string(forms.back());
    std::string out;
    for (const auto form : forms) {
        if (!out.empty())
            out += ", ";
        out += form;
    }
    return out;
}

} // namespace

std::span<const FamilyEntry> families()
{
    return entries();
}

const FamilyEntry* find_family(std::string_view name)
{
    for (const auto& family : entries()) {
        if (family.name == name)
            return &family;
    }
    return nullptr;
}

std::optional<FormSelection> parse_form(const FamilyEntry& family, std::string_view form)
{
    if (form == "mixed")
        return FormSelection::mixed();
    if (form == "none" && !family.default_form)
        return FormSelection::none();
    for (std::size_t i = 0; i < family.forms.size(); ++i) {
        if (family.forms[i] == form)
            return FormSelection::form(static_cast<int>(i) + 1);
    }
    return std::nullopt;
}

std::string form_choices(const FamilyEntry& family)
{
    std::string out = join_forms(family.forms) + ", mixed";
    if (!family.default_form)
        out += ", none";
    return out;
}

std::string family_choices()
{
    std::string out;
    for (const auto& family : entries()) {
        if (!out.empty())
            out += ", ";
        out += family.name;
    }
    return out;
}

} // namespace quillora
