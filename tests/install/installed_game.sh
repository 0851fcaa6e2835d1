#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the game into a temporary prefix, checks the layout and the
# program's command line, and starts the installed game from another folder
# for two players: each one's settings land in that player's data folder,
# never in the working directory.
#   installed_game.sh BUILD_DIR PACK VERSION WORK_DIR
set -euo pipefail
build=$1 pack=$2 version=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component game > "$work/install.log"

fail() { echo "$1"; exit 1; }
metainfo=share/metainfo/io.github.zarvenok.Zarvenok.metainfo.xml
for file in games/zarvenok share/zarvenok/Data/Graphic.dxg share/zarvenok/Data/Music.dxw \
            share/zarvenok/Music/1.xm share/zarvenok/Music/2.xm share/zarvenok/Music/3.xm \
            share/applications/zarvenok.desktop $metainfo \
            share/icons/hicolor/256x256/apps/zarvenok.png share/icons/hicolor/64x64/apps/zarvenok.png \
            share/icons/hicolor/scalable/apps/zarvenok.svg share/man/man6/zarvenok.6.gz \
            share/doc/zarvenok/copyright; do
  [[ -s $prefix/$file ]] || fail "$file is not installed"
done
[[ ! -e $prefix/bin/zarvenok ]] || fail "the program went into bin/, not games/"
[[ ! -e $prefix/share/zarvenok/Data/zarvenok.png ]] || fail "the icon files went into the library folder"
grep -q "version=\"$version\"" "$prefix/$metainfo" || fail "the metainfo has not the version $version"

game=$prefix/games/zarvenok
# The menu entry starts the program where this prefix put it.
grep -qx "Exec=$game" "$prefix/share/applications/zarvenok.desktop" ||
  fail "the menu entry does not start $game: $(grep Exec= "$prefix/share/applications/zarvenok.desktop")"
(cd "$work" && "$here/command_line.sh" "$game" "$version")

# A player with XDG_DATA_HOME set.
export HOME=$work/home1 XDG_DATA_HOME=$work/data1
mkdir -p "$HOME"
"$here/../e2e/exit_through_menu.sh" "$game" "$work/elsewhere" "$pack" "$prefix/share/zarvenok/Data/Graphic.dxg"
[[ -s $work/data1/zarvenok/Config.cfg ]] || fail "the first player's Config.cfg is not in \$XDG_DATA_HOME/zarvenok"
[[ ! -e $work/elsewhere/Config.cfg ]] || fail "Config.cfg was written into the working directory"
[[ ! -e $prefix/share/zarvenok/Config.cfg && ! -e $prefix/bin/Config.cfg ]] || fail "Config.cfg was written into the installed tree"

# Another player, without XDG_DATA_HOME: a table of their own under ~/.local/share.
unset XDG_DATA_HOME
export HOME=$work/home2
mkdir -p "$HOME"
"$here/../e2e/exit_through_menu.sh" "$game" "$work/elsewhere" "$pack" "$prefix/share/zarvenok/Data/Graphic.dxg"
[[ -s $HOME/.local/share/zarvenok/Config.cfg ]] || fail "the second player's Config.cfg is not in ~/.local/share/zarvenok"
[[ ! -e $work/elsewhere/Config.cfg ]] || fail "Config.cfg was written into the working directory"
echo "installed layout complete; two players started the installed game from another folder and kept their own settings"
