#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Records the golden replays again with the simulator's player, after a
# change to the rules (with a new game version) or to the libraries:
#   tests/replay/golden/record.sh BUILD_DIR
# The player is deterministic, so the same game and libraries give the same
# files; each is verified before it is kept.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/Data" "$work/Data"
ln -s "$build/Music" "$work/Music"
cd "$work"
bot() { python3 "$here/../play_bot.py" "$build/tools/sim/zarvenok-sim" "$@"; }
bot game_over_a.zrp --seed 11 --start 11007
bot game_over_b.zrp --seed 12 --start 12007
bot left_early.zrp --seed 14 --start 3000 --max-seconds 20
bot long_game.zrp --seed 21 --start 21007 --quick
for f in game_over_a game_over_b left_early long_game; do
  "$build/zarvenok-replay" --data "$build" verify $f.zrp
  cp $f.zrp "$here/$f.zrp"
done
