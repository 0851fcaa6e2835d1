#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's own command line, which answers before any window opens:
# --help and --version end with status 0, anything else with a usage message
# and status 2.
#   command_line.sh GAME VERSION
set -euo pipefail
game=$1 version=$2
fail() { echo "$1"; exit 1; }

out=$("$game" --help) || fail "--help ended with status $?"
[[ $out == usage:\ zarvenok* && $out == *--fullscreen* && $out == *--window* ]] || fail "--help says: $out"
out=$("$game" --version) || fail "--version ended with status $?"
[[ $out == "zarvenok $version" ]] || fail "--version says: $out"

for args in "--bogus" "-x" "play" "--window --nope"; do
  status=0
  # shellcheck disable=SC2086
  "$game" $args > out.txt 2> err.txt || status=$?
  [[ $status -eq 2 ]] || fail "'$args' ended with status $status, not 2"
  [[ ! -s out.txt ]] || fail "'$args' printed to standard output"
  grep -q "^usage: zarvenok" err.txt || fail "'$args' gave no usage message: $(cat err.txt)"
done
rm -f out.txt err.txt
echo "--help, --version and bad arguments answered"
