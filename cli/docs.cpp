// quillora-sheet-docs: writes quillora-sheet's manual page and bash completion from the catalogue
// and the option table at build time, so that neither lists a family, form or option by hand.
//   quillora-sheet-docs manual TEMPLATE   the page, TEMPLATE's lines '.\" quillora-sheet-docs:
//                                         synopsis', '... families' and '... options' filled in
//   quillora-sheet-docs completion        the completion script

#include "families/catalogue.h"
#include "sets/options.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

using namespace quillora;

namespace {

// UTF-8 text as roff: a '-' as a minus sign (what a shell is given, and the sheets' minus), or
// between two letters of prose as a hyphen; the sheets' symbols by their glyph names.
std::string roff(std::string_view text, bool prose = false)
{
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto rest = text.substr(i);
        if (text[i] == '-' && prose && i > 0 && rest.size() > 1 && letter(text[i - 1])
            && letter(rest[1]))
            out += '-';
        else if (text[i] == '-')
            out += "\\-";
        else if (rest.starts_with("\u2022"))
            out += "\\(bu", i += 2;
        else if (rest.starts_with("\u00F7"))
            out += "\\(di", i += 1;
        else if (rest.starts_with("\u00B2"))
            out += "\\(S2", i += 1;
        else
            out += text[i];
    }
    return out;
}

// "text|rtf|pdf" as the words with blanks between them.
std::string words(std::string_view choices, std::string_view between = " ")
{
    std::string out;
    for (const char c : choices)
        out += c == '|' ? std::string(between) : std::string(1, c);
    return out;
}

std::string synopsis()
{
    std::string out;
    std::string actions;
    for (const Option& option : options()) {
        const std::string name = roff("--" + std::string(option.name));
        if (option.action != Action::Make)
            actions += (actions.empty() ? "" : " \" | \" ") + name;
        else if (option.value.empty())
            out += ".RB [ " + name + " ]\n";
        else if (option.choices.empty())
            out += ".RB [ " + name + "\n.IR " + std::string(option.value) + " ]\n";
        else
            out += ".RB [ " + name + "\n.BR " + words(option.choices, " | ") + " ]\n";
    }
    return out + ".br\n.B quillora\\-sheet\n.BR " + actions + "\n";
}

std::string families_section()
{
    std::string out;
    for (const Family* family : families()) {
        out += ".SS " + roff(family->name) + "\n";
        if (family->default_form)
            out += "The default form is\n.BR "
                + roff(family->forms[std::size_t(*family->default_form - 1)].code) + " .\n";
        for (const Form& form : family->forms)
            out += ".TP 16\n.B " + roff(form.code) + "\n" + roff(form.description, true) + "\n";
    }
    return out;
}

std::string options_section()
{
    std::string out;
    for (const Option& option : options()) {
        const std::string name = roff("--" + std::string(option.name));
        out += ".TP\n";
        if (option.value.empty())
            out += ".B " + name + "\n";
        else if (option.choices.empty())
            out += ".BI " + name + " \" " + std::string(option.value) + "\"\n";
        else
            out += ".BR " + name + " \" \" " + words(option.choices, " | ") + "\n";
        out += std::string(option.manual) + "\n";
    }
    return out;
}

std::string manual(std::istream& in)
{
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line == ".\\\" quillora-sheet-docs: synopsis")
            out += synopsis();
        else if (line == ".\\\" quillora-sheet-docs: families")
            out += families_section();
        else if (line == ".\\\" quillora-sheet-docs: options")
            out += options_section();
        else
            out += line + "\n";
    }
    return out;
}

std::string completion()
{
    std::string choices, files, silent, all, with_value;
    const auto add = [](std::string& list, std::string_view separator, const std::string& item) {
        list += (list.empty() ? "" : std::string(separator)) + item;
    };
    for (const Option& option : options()) {
        const std::string name = "--" + std::string(option.name);
        add(all, " ", name);
        if (!option.value.empty())
            add(with_value, " | ", name);
        if (!option.choices.empty())
            choices += "        " + name + ")\n            COMPREPLY=($(compgen -W '"
                + words(option.choices) + "' -- \"$cur\"))\n            return\n            ;;\n";
        else if (option.value == "FILE")
            add(files, " | ", name);
        else if (!option.value.empty() || option.action != Action::Make)
            add(silent, " | ", name);
    }
    std::string family_names, forms;
    for (const Family* family : families()) {
        add(family_names, " ", std::string(family->name));
        std::string codes;
        for (const Form& form : family->forms)
            add(codes, " ", std::string(form.code));
        forms += "            " + std::string(family->name) + ") choices='" + codes + " mixed"
            + (family->default_form ? "" : " none") + "' ;;\n";
    }
    return "# bash completion for quillora-sheet                           -*- shell-script -*-\n"
           "# shellcheck shell=bash disable=SC2207  # COMPREPLY=($(compgen ...)) is the completion "
           "idiom\n"
           "# Written by quillora-sheet-docs from the program's option table and catalogue.\n\n"
           "_quillora_sheet()\n{\n"
           "    local cur prev words cword split\n"
           "    _init_completion -s || return\n\n"
           "    case $prev in\n"
        + choices + "        " + files
        + ")\n            _filedir\n            return\n            ;;\n" + "        " + silent
        + ")\n            return\n            ;;\n    esac\n"
        + "    $split && return\n\n"
          "    if [[ $cur == -* ]]; then\n"
          "        COMPREPLY=($(compgen -W '"
        + all
        + "' -- \"$cur\"))\n        return\n    fi\n\n"
          "    # The words before this one, less the options and their values: family, then form.\n"
          "    local i family='' typed=0\n"
          "    for ((i = 1; i < cword; i++)); do\n"
          "        case ${words[i]} in\n"
          "            "
        + with_value
        + ") ((i++)) ;;\n"
          "            -*) ;;\n"
          "            *)\n"
          "                ((typed++ == 0)) && family=${words[i]}\n"
          "                ;;\n"
          "        esac\n"
          "    done\n\n"
          "    local choices=''\n"
          "    if ((typed == 0)); then\n"
          "        choices='"
        + family_names
        + "'\n"
          "    elif ((typed == 1)); then\n"
          "        case $family in\n"
        + forms
        + "        esac\n"
          "    fi\n"
          "    COMPREPLY=($(compgen -W \"$choices\" -- \"$cur\"))\n"
          "} &&\n"
          "    complete -F _quillora_sheet quillora-sheet\n\n"
          "# ex: filetype=sh\n";
}

} // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "completion") {
        std::cout << completion();
        return 0;
    }
    if (what == "manual" && argc == 3) {
        std::ifstream in(argv[2]);
        if (in) {
            std::cout << manual(in);
            return 0;
        }
    }
    std::cerr << "usage: quillora-sheet-docs manual TEMPLATE | completion\n";
    return 2;
}
