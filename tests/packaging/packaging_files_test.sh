#!/usr/bin/env bash
# Holds the files installed around the program to what the program does:
# the manual page documents exactly the options that -help prints, the bash
# completion offers those options and only setting uids the program accepts,
# the manual pages render without warnings and the desktop entries are valid.
#
# Usage: packaging_files_test.sh VOSSIK MAN_DIR COMPLETION PACKAGING_DIR
set -uo pipefail

vossik=$(realpath "$1")
man_dir=$(realpath "$2")
completion=$(realpath "$3")
packaging_dir=$(realpath "$4")

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program writes its configuration file, logs and resolver cache into
# the current folder.
cd "$work" || exit 1

# The options, one a line, sorted.
help_options() { "$vossik" -help | sed -n 's/^  \(-[A-Za-z-]*\).*/\1/p' | sort; }

# The item tags (the first word after .TP or .TQ) of a section of a manual
# page's source, one a line, with roff's "\-" as "-".
man_tags() {
  awk -v section="$2" '
    /^\.SH/ { in_section = ($2 == section); next }
    in_section && tag { sub(/^\.[A-Z]+ /, ""); split($0, words, " "); print words[1] }
    { tag = in_section && /^\.T[PQ]/ }' "$1" | sed 's/\\-/-/g; s/"//g' | sort
}

# What the completion offers for a command line typed up to its end.
complete_line() {
  COMP_LINE=$1
  COMP_POINT=${#1}
  COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
  COMPREPLY=()
  _vossik 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}"
}

# The options of -help, the manual page and the completion are one list.
expected=$(help_options)
[ -n "$expected" ] || fail "vossik -help printed no options"
documented=$(man_tags "$man_dir/vossik.1" OPTIONS)
if [ "$documented" != "$expected" ]; then
  fail "the options of vossik -help and of vossik.1 differ (< -help, > vossik.1):"
  diff <(echo "$expected") <(echo "$documented") >&2
fi

# shellcheck source=/dev/null
source "$completion"
offered=$(complete_line "vossik -" | sort)
if [ "$offered" != "$expected" ]; then
  fail "the options of vossik -help and of the completion differ (< -help, > completion):"
  diff <(echo "$expected") <(echo "$offered") >&2
fi

# Completion after -set: "section:" is already on the line, so only the rest
# of the uid is replaced, and "=" follows it.
rows=(
  "vossik -set index:dir|dirdest=,dirsrc="
  "vossik -SET index:stop|stoplist="
  "vossik -build -set logl|loglevel="
  "vossik -set index:dirsrc=/v|"
  "vossik -wizard |setup"
  "vossikadmin -search tr|"
)
for row in "${rows[@]}"; do
  line=${row%%|*}
  want=${row#*|}
  got=$(complete_line "$line" | sort | paste -sd, -)
  [ "$got" = "$want" ] || fail "completing \"$line\" offers \"$got\", not \"$want\""
done

# Every uid the completion offers is a setting the program knows, and every
# setting the manual page names is among them.
mapfile -t uids < <(complete_line "vossik -set " | sed 's/=$//')
[ "${#uids[@]}" -gt 10 ] || fail "the completion offers only ${#uids[@]} setting uids"
set_args=()
for uid in "${uids[@]}"; do set_args+=(-set "$uid=1"); done
rejected=$("$vossik" -search word "${set_args[@]}" 2>&1 | grep -i "unknown setting")
[ -z "$rejected" ] || fail "the completion offers a setting the program does not know: $rejected"
named=$(man_tags "$man_dir/vossik.1" SETTINGS)
for uid in $named; do
  grep -qx "$uid" <<<"$(printf '%s\n' "${uids[@]}")" || fail "vossik.1 names the setting $uid, which the descriptor does not have"
done

# The manual pages render without a warning.
for page in "$man_dir"/vossik.1 "$man_dir"/vossikd.8; do
  warnings=$(MANWIDTH=80 man --warnings -P cat -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page") renders with warnings: $warnings"
done

for entry in "$packaging_dir"/*.desktop; do
  desktop-file-validate "$entry" >&2 || fail "$(basename "$entry") is not a valid desktop entry"
done

if ((failures > 0)); then
  echo "$failures packaging check(s) failed" >&2
  exit 1
fi
echo "packaging files agree with the program"
