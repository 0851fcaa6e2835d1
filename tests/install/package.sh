#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages from the build tree as it is, installs them
# with dpkg, starts the installed game from another folder as a new player
# would, checks the server's unit is installed but not enabled, enables it as
# an administrator would, and purges both packages again (also when a step
# fails): nothing of them, not even the unit's link, may stay. Needs root: otherwise, or when
# the game is already installed on this machine, it reports itself skipped.
#   package.sh BUILD_DIR PACK WORK_DIR
set -euo pipefail
build=$1 pack=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
skip=77

if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: installing a package needs root"
  exit $skip
fi
for name in zarvenok zarvenok-server; do
  if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "ok installed"; then
    echo "skipped: $name is installed on this machine already; it is left alone"
    exit $skip
  fi
done

rm -rf "$work"
mkdir -p "$work"
fail() { echo "$1"; exit 1; }

# What was built, as it was built: no rebuild.
cpack --config "$build/CPackConfig.cmake" -B "$work/packages" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
game_deb=$(ls "$work"/packages/zarvenok_*.deb)
server_deb=$(ls "$work"/packages/zarvenok-server_*.deb 2>/dev/null || true)

dpkg-deb --field "$game_deb" Depends | grep -q libsdl2 || fail "the game's package does not depend on SDL2"
dpkg-deb --field "$game_deb" Maintainer | grep -q . || fail "the game's package has no maintainer"

# dpkg with its arguments, output to LOG. Others on this machine install
# packages too: while one of them holds dpkg's lock, this waits for it, up to
# a deadline, instead of failing.
dpkg_when_free() {
  local log=$1 deadline=$((SECONDS + 120))
  shift
  until dpkg "$@" > "$log" 2>&1; do
    grep -q "lock was locked by another process" "$log" && ((SECONDS < deadline)) || return 1
    sleep 1
  done
}

installed=()
remove() {
  local status=0
  for name in "${installed[@]}"; do dpkg_when_free "$work/remove-$name.log" --purge "$name" || status=1; done
  return $status
}
trap 'remove || true' EXIT

dpkg_when_free "$work/install.log" -i "$game_deb" || { cat "$work/install.log"; installed=(zarvenok); fail "dpkg -i failed"; }
installed=(zarvenok)
if [[ -n $server_deb ]]; then
  dpkg_when_free "$work/install-server.log" -i "$server_deb" ||
    { cat "$work/install-server.log"; installed+=(zarvenok-server); fail "dpkg -i of the server failed"; }
  installed+=(zarvenok-server)
fi

game=/usr/games/zarvenok
[[ -x $game ]] || fail "$game is not installed"
for file in /usr/share/zarvenok/Data/Graphic.dxg /usr/share/applications/zarvenok.desktop \
            /usr/share/metainfo/io.github.zarvenok.Zarvenok.metainfo.xml /usr/share/icons/hicolor/scalable/apps/zarvenok.svg \
            /usr/share/man/man6/zarvenok.6.gz /usr/share/doc/zarvenok/copyright; do
  [[ -s $file ]] || fail "$file is not installed"
done
# The program's version is the package's without its Debian revision.
version=$(dpkg-deb --field "$game_deb" Version)
(cd "$work" && "$here/command_line.sh" "$game" "${version%-*}")

# A new player: an empty home, no XDG_DATA_HOME, started from another folder.
export HOME=$work/home
unset XDG_DATA_HOME
mkdir -p "$HOME"
"$here/../e2e/exit_through_menu.sh" "$game" "$work/elsewhere" "$pack" /usr/share/zarvenok/Data/Graphic.dxg
[[ -s $HOME/.local/share/zarvenok/Config.cfg ]] || fail "the settings are not in ~/.local/share/zarvenok"
[[ ! -e $work/elsewhere/Config.cfg ]] || fail "Config.cfg was written into the working directory"

if [[ -n $server_deb ]]; then
  unit=/usr/lib/systemd/system/zarvenok-server.service
  [[ -s $unit ]] || fail "the server's unit is not installed"
  grep -q "^ExecStart=/usr/bin/zarvenok-server " "$unit" || fail "the unit does not start /usr/bin/zarvenok-server"
  wants=/etc/systemd/system/multi-user.target.wants/zarvenok-server.service
  [[ ! -e $wants ]] || fail "the server's unit is enabled"
  zarvenok-server --help 2> "$work/server-help.txt" || fail "zarvenok-server --help failed"
  # An administrator enables it (systemctl works on the files without a
  # running systemd); the purge below must take the link away.
  systemctl enable zarvenok-server.service > "$work/enable.log" 2>&1 || { cat "$work/enable.log"; fail "systemctl enable failed"; }
  [[ -L $wants ]] || fail "enabling the unit made no link"
fi

trap - EXIT
remove || fail "removing the packages failed: $(cat "$work"/remove-*.log)"
for path in /usr/games/zarvenok /usr/share/zarvenok /usr/share/applications/zarvenok.desktop /usr/share/doc/zarvenok \
            /usr/bin/zarvenok-server /usr/lib/systemd/system/zarvenok-server.service /usr/share/doc/zarvenok-server \
            /etc/systemd/system/multi-user.target.wants/zarvenok-server.service; do
  [[ ! -e $path && ! -L $path ]] || fail "$path is still there after removing the packages"
done
echo "packages built, installed, the installed game played from another folder, packages removed"
