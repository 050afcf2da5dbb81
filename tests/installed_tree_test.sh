#!/bin/bash
# Checks an installed tree as a desktop and a shell read it: the desktop entry and metainfo
# validators, the manual pages under man's warnings, and the bash completion against the
# installed program itself.  Usage: installed_tree_test.sh PREFIX SCRATCH_DIR
# (PREFIX is the installed prefix, e.g. $DESTDIR/usr; SCRATCH_DIR is emptied and reused.)
set -u
usr=$1
scratch=$2
rm -rf "$scratch" && mkdir -p "$scratch/files/sub" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2 && failures=$((failures + 1)); }

[ -x "$usr/bin/quillora" ] || fail "$usr/bin/quillora is missing"
sheet=$usr/bin/quillora-sheet
id=org.quillora.Quillora

# Validators print nothing when the file is clean.
out=$(desktop-file-validate "$usr/share/applications/$id.desktop" 2>&1) && [ -z "$out" ] ||
    fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $out"

# Manual pages: no warnings from man (lintian, in CI, checks their gzip headers).
for page in "$usr"/share/man/man1/quillora.1.gz "$usr"/share/man/man1/quillora-sheet.1.gz; do
    out=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) && [ -z "$out" ] ||
        fail "man --warnings $page: $out"
done
page_text=$(MANWIDTH=200 man -E ascii -l "$usr/share/man/man1/quillora-sheet.1.gz" 2>/dev/null)

# The completion, driven the way bash drives it: the line so far, the last word being completed.
# shellcheck disable=SC1091
. /usr/share/bash-completion/bash_completion || exit 1
# shellcheck disable=SC1091
. "$usr/share/bash-completion/completions/quillora-sheet" || exit 1
complete_line() {
    local line=${1//=/ = }
    read -ra COMP_WORDS <<<"$line"
    [[ $1 == *" " || $1 == *= ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$1
    COMP_POINT=${#1}
    COMPREPLY=()
    _quillora_sheet quillora-sheet "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" \
        2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}
# The choices the program names in a usage error, "Bin1..Bin8" spelt out by brace expansion.
choices() {
    local list
    list=$("$sheet" "$@" 2>&1 >/dev/null | sed -En 's/.*\((.*)\)$/\1/p' | tr -d , |
        sed -E 's/\<([A-Za-z]+)1\.\.[A-Za-z]+([0-9]+)\>/\1{1..\2}/')
    eval "printf '%s\n' $list" | sort | xargs
}

# The families first (an unknown family lists them), then each family's forms.
for family in "" $(choices no-such-family); do
    want=$(choices ${family:+"$family"} no-such-form)
    got=$(complete_line "quillora-sheet ${family:+--seed 7 $family }")
    [ -n "$want" ] && [ "$got" = "$want" ] ||
        fail "completion after '$family': '$got', program: '$want'"
done

# Every option of --help has its paragraph in the manual page and is completed.
options=$(complete_line 'quillora-sheet binomials --')
for option in $("$sheet" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -Eq -- "^ {7}$option( |$)" <<<"$page_text" ||
        fail "$option is not described in quillora-sheet(1)"
    [[ " $options " == *" $option "* ]] || fail "$option is not completed"
done

# Every form --help describes, the manual page describes alike.
forms_text=$(MANWIDTH=200 man -E UTF-8 -l "$usr/share/man/man1/quillora-sheet.1.gz" 2>/dev/null |
    tr -s ' ')
while read -r form; do
    grep -qF -- "$form" <<<"$forms_text" || fail "quillora-sheet(1) lacks the form '$form'"
done < <("$sheet" --help | sed -En 's/^    ([A-Za-z0-9]+) +(.*)$/\1 \2/p')

# Option values: the formats, also after "=", and file names after --output.
while IFS='|' read -r line expected; do
    got=$(cd "$scratch/files" && touch sheet.rtf sheet.txt && complete_line "$line")
    [ "$got" = "$expected" ] || fail "completion of '$line': '$got', expected '$expected'"
done <<'ROWS'
quillora-sheet fractions --format |pdf rtf text
quillora-sheet fractions --format=r|rtf
quillora-sheet --output sh|sheet.rtf sheet.txt
quillora-sheet --output su|sub
quillora-sheet fractions mixed --output |sheet.rtf sheet.txt sub
ROWS

[ "$failures" -eq 0 ] || { echo "$failures failed" >&2 && exit 1; }
echo "installed tree: all checks passed"
