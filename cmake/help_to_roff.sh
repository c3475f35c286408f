#!/bin/sh
# Writes a program's manual page from its --help text, gzipped as Debian
# keeps manual pages: help_to_roff.sh PROGRAM "one-line summary" VERSION OUT.gz
# The help text (stdout and stderr alike) becomes the page's description as
# it is printed, so the page never says anything the program does not.
set -eu
program=$1
summary=$2
version=$3
out=$4
name=$(basename "$program")
help=$("$program" --help 2>&1) || { echo "$name --help failed" >&2; exit 1; }
{
  printf '.TH %s 1 "" "%s %s" "User Commands"\n' "$(echo "$name" | tr a-z A-Z)" "$name" "$version"
  printf '.SH NAME\n%s \\- %s\n' "$name" "$summary"
  # The usage line ("usage: NAME ARGS") gives the synopsis.
  usage=$(printf '%s\n' "$help" | sed -n 's/^[Uu]sage: *[^ ]* *//p' | head -n 1)
  printf '.SH SYNOPSIS\n.B %s\n%s\n' "$name" "$(printf '%s' "$usage" | sed 's/-/\\-/g')"
  printf '.SH DESCRIPTION\n.nf\n'
  # Backslashes, minus signs and a leading dot or quote are roff's own.
  printf '%s\n' "$help" | sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
  printf '.fi\n.SH SEE ALSO\n.ad l\n'
  for other in tarvelo2 tarvelo2-cli hxm-sim; do
    [ "$other" = "$name" ] || printf '.BR %s (1),\n' "$(echo "$other" | sed 's/-/\\-/g')"
  done
  printf 'and the user guide, /usr/share/doc/tarvelo2/guide.md.\n'
} | gzip -9n > "$out.tmp"
mv "$out.tmp" "$out"
