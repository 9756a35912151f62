#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The bash completion and the manual pages against the programs' --help:
#
#   cli_help_check.sh CLI COMPLETION CLI_MANPAGE [APP APP_MANPAGE]
#
# Every command and option brevold-cli --help lists is completed where it
# belongs (the options of every command after each command, a command's own
# after it) and nothing else is, and each one is named in the manual page;
# every option brevold --help lists is named in its page. Files are completed
# for --dmi, --load and --out, dimension names for --set.
set -uo pipefail
cli=$(realpath "$1") completion=$(realpath "$2") climan=$(realpath "$3")
app=${4:+$(realpath "$4")} appman=${5:+$(realpath "$5")}
fail=0
problem() { echo "$*" >&2; fail=1; }

bc=/usr/share/bash-completion/bash_completion
[ -r "$bc" ] || { echo "needs bash-completion ($bc)" >&2; exit 1; }
# shellcheck disable=SC1090
source "$bc"
# shellcheck disable=SC1090
source "$completion" || { echo "$completion does not load" >&2; exit 1; }

# The words offered for the command line given, the last word the one being
# completed.
offered() {
  COMP_WORDS=("$cli" "$@")
  COMP_CWORD=$#
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _brevold_cli brevold-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}"
}

# "SECTION OPTION" for every option in the help, "commands NAME" for every
# command; SECTION is top (before the commands), common or the command's name.
help=$("$cli" --help) || { echo "$cli --help failed" >&2; exit 1; }
listed=$(awk '
  /^Commands:/ { sec = "commands"; next }
  /^Options of every command/ { sec = "common"; next }
  /^Options of [a-z]+/ { sec = $3; sub(/[^a-z].*/, "", sec); line = $0; sub(/^Options of [a-z|]+/, "", line) }
  /^$/ { if (sec != "" && sec != "commands") sec = "common"; next }
  { if (sec == "") s = "top"; else s = sec
    if (s == "commands" && match($0, /^  [a-z]+( |$)/)) { n = substr($0, 3, RLENGTH - 2); sub(/ $/, "", n); print "commands", n }
    t = (line != "") ? line : $0; line = ""
    while (match(t, /--[a-z][a-z-]*/)) { print s, substr(t, RSTART, RLENGTH); t = substr(t, RSTART + RLENGTH) } }
' <<<"$help")
commands=$(awk '$1 == "commands" { print $2 }' <<<"$listed")
[ "$(wc -w <<<"$commands")" -ge 5 ] || problem "too few commands read from --help: $commands"
man=$(sed 's/\\-/-/g' "$climan")

first=$(offered "")
for c in $commands; do
  grep -qx -- "$c" <<<"$first" || problem "command $c is not completed"
  grep -qE "^\.B[RI]? $c( |$)" <<<"$man" || problem "command $c is not in $climan"
done
for o in $(awk '$1 == "top" { print $2 }' <<<"$listed"); do
  grep -qx -- "$o" <<<"$(offered --)" || problem "$o is not completed as the first word"
done
for c in $commands; do
  lead=("$c")
  [ "$c" = diagram ] && lead=(diagram port)
  got=$(offered "${lead[@]}" --)
  want=$(awk -v c="$c" '$1 == "common" || $1 == c { print $2 }' <<<"$listed" | sort -u)
  for o in $want; do
    grep -qx -- "$o" <<<"$got" || problem "$c: $o is listed by --help but not completed"
  done
  for o in $got; do
    grep -qx -- "$o" <<<"$want" || problem "$c: $o is completed but --help does not list it for $c"
  done
done
for o in $(awk '{ print $2 }' <<<"$listed" | grep '^--' | sort -u); do
  grep -qE -- "(^|[^a-z-])$o([^a-z-]|$)" <<<"$man" || problem "$o is not in $climan"
done
# The diagram kinds, as --help lists them ("Options of diagram port|steam|..."):
# each completed after diagram, and named in the manual page.
kinds=$(sed -nE 's/^Options of diagram ([a-z|]+).*/\1/p' <<<"$help" | tr '|' ' ')
[ "$(wc -w <<<"$kinds")" -ge 4 ] || problem "too few diagram kinds read from --help: $kinds"
for k in $kinds; do
  grep -qx "$k" <<<"$(offered diagram "")" || problem "diagram kind $k is not completed"
  grep -qE "(^|[^a-z])$k([^a-z]|$)" <<<"$(grep -E '^\.BR diagram' <<<"$man")" || problem "diagram kind $k is not in $climan"
done

# Files by their suffix (and folders), names for --set.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/sub"
touch "$dir/gear.dmi" "$dir/set.json" "$dir/notes.txt" "$dir/pic.png"
cd "$dir" || exit 1
check_files() {  # EXPECTED... -- WORDS...
  local want=()
  while [ "$1" != -- ]; do want+=("$1"); shift; done
  shift
  local got
  got=$(offered "$@" | sort | tr '\n' ' ')
  [ "$got" = "$(printf '%s\n' "${want[@]}" | sort | tr '\n' ' ')" ] || problem "$*: offered '$got', not '${want[*]}'"
}
check_files gear.dmi sub -- events --dmi ""
check_files set.json sub -- dims --load ""
check_files pic.png sub -- frame --out ""
check_files gear.dmi set.json sub -- save --out ""
grep -qx 'MainRodLen=' <<<"$(offered save --set Main)" || problem "--set does not complete the dimension names"

if [ -n "$app" ]; then
  appman_text=$(sed 's/\\-/-/g' "$appman")
  for o in $(QT_QPA_PLATFORM=offscreen "$app" --help | grep -oE -- '(^|[ ,])--?[a-z?][a-z-]*' | tr -d ' ,' | sort -u); do
    grep -qF -- "$o" <<<"$appman_text" || problem "brevold's $o is not in $appman"
  done
fi
exit $fail
