#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The build's name check must fail, naming what is missing, on libraries
# that lack pictures and sounds the game uses, and pass on the built ones.
#   names_check.sh NAMES PACK BUILD_DIR WORK_DIR
set -euo pipefail
names=$1 pack=$2 build=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$pack" extract "$build/Data/Graphic.dxg" menu menu.png
"$pack" extract "$build/Data/Music.dxw" button_down click.wav
printf 'image menu menu.png\n' > pictures.manifest
printf 'wave button_down click.wav\n' > sounds.manifest
"$pack" build pictures.manifest Graphic.dxg
"$pack" build sounds.manifest Music.dxw

status=0
"$names" Graphic.dxg Music.dxw 2> report.txt || status=$?
[[ $status == 1 ]] || { cat report.txt; echo "exit status $status on incomplete libraries"; exit 1; }
for missing in '"gotov"' '"terror5_razvorot"' '"Exit_Main_Yes"' '"Scene4_pushka2"' '"Health_7"' '"shar_dead"' '"15"'; do
  grep -q "no [a-z]* $missing" report.txt || { cat report.txt; echo "$missing not reported"; exit 1; }
done
if grep -q '"menu"\|"button_down"' report.txt; then cat report.txt; echo "a name the libraries hold was reported"; exit 1; fi

"$names" "$build/Data/Graphic.dxg" "$build/Data/Music.dxw"
echo "missing names reported, the built libraries complete"
