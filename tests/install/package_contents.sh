#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages as a packager checks them, without installing them:
# lintian finds no error; the fields, the files each package holds and the
# control archive are what Debian expects (the game in /usr/games, section
# games; the server in section net with its maintainer scripts under dpkg's
# names); the copyright is machine-readable; the menu entry starts the
# installed program and the AppStream description validates.
#   package_contents.sh BUILD_DIR SOURCE_DIR VERSION WORK_DIR
set -euo pipefail
build=$1 source=$2 version=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
fail() { echo "$1"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/packages" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
game_deb=$(ls "$work"/packages/zarvenok_*.deb)
server_deb=$(ls "$work"/packages/zarvenok-server_*.deb)

# Every tag is shown; errors fail.
lintian --fail-on error --display-info --tag-display-limit 0 "$game_deb" "$server_deb" 2>&1 | tee "$work/lintian.txt" |
  grep -v "^running with root privileges" || true
if grep -q "^E:" "$work/lintian.txt"; then fail "lintian found errors"; fi

# PACKAGE FIELD VALUE (a pattern for the value).
fields=(
  "$game_deb Section games"
  "$game_deb Version $version-[0-9]+"
  "$game_deb Source zarvenok"
  "$server_deb Section net"
  "$server_deb Version $version-[0-9]+"
  "$server_deb Source zarvenok"
)
for entry in "${fields[@]}"; do
  read -r deb field pattern <<< "$entry"
  value=$(dpkg-deb --field "$deb" "$field")
  [[ $value =~ ^$pattern$ ]] || fail "$(basename "$deb"): $field is '$value', not $pattern"
done

# The files each package must hold, and ones it must not.
contents() { dpkg-deb --contents "$1" | awk '{print $6}' | sed 's|^\./|/|'; }
contents "$game_deb" > "$work/game.files"
contents "$server_deb" > "$work/server.files"
for file in /usr/games/zarvenok /usr/share/man/man6/zarvenok.6.gz /usr/games/zarvenok-replay /usr/share/man/man6/zarvenok-replay.6.gz \
            /usr/share/doc/zarvenok/copyright /usr/share/doc/zarvenok/changelog.Debian.gz \
            /usr/share/applications/zarvenok.desktop /usr/share/metainfo/io.github.zarvenok.Zarvenok.metainfo.xml \
            /usr/share/zarvenok/Data/Graphic.dxg /usr/share/zarvenok/Data/Music.dxw; do
  grep -qx "$file" "$work/game.files" || fail "the game's package lacks $file"
done
for file in /usr/bin/zarvenok-server /usr/lib/systemd/system/zarvenok-server.service \
            /usr/share/man/man8/zarvenok-server.8.gz /usr/libexec/zarvenok-server/zarvenok-verifier \
            /usr/share/zarvenok-server/Data/Graphic.dxg /usr/share/zarvenok-server/Data/Music.dxw \
            /usr/share/doc/zarvenok-server/copyright /usr/share/doc/zarvenok-server/changelog.Debian.gz; do
  grep -qx "$file" "$work/server.files" || fail "the server's package lacks $file"
done
! grep -q "^/usr/bin/zarvenok$" "$work/game.files" || fail "the game's program is in /usr/bin"
! grep -q "^/usr/share/doc/zarvenok/changelog.gz$" "$work/game.files" || fail "a native changelog in a non-native package"

dpkg-deb --extract "$game_deb" "$work/game"
dpkg-deb --extract "$server_deb" "$work/server"

# The server verifies replays with what its own package holds: its verifier
# finds its libraries and passes a real game, and the server finds the verifier.
verdict=$("$work/server/usr/libexec/zarvenok-server/zarvenok-verifier" < "$source/tests/replay/golden/game_over_a.zrp") ||
  fail "the packaged verifier did not verify a real game: $verdict"
[[ $verdict == verified* ]] || fail "the packaged verifier says '$verdict'"
coproc served { exec "$work/server/usr/bin/zarvenok-server" --port 0 --sqlite "$work/scores.db" --play none 2> "$work/server.err"; }
read -r -t 30 listening <&"${served[0]}" || true
kill "$served_PID"; wait "$served_PID" || true
[[ $listening == "listening on "* ]] || { cat "$work/server.err"; fail "the packaged server did not start"; }
! grep -q "no verifier" "$work/server.err" || fail "the packaged server did not find its verifier: $(cat "$work/server.err")"

# The control archives: dpkg's own names, the scripts as written, executable.
for deb in "$game_deb" "$server_deb"; do
  control=$work/control-$(basename "$deb" .deb)
  dpkg-deb --control "$deb" "$control"
  members=$(cd "$control" && ls | paste -sd ' ')
  case $deb in
    "$game_deb") want="control md5sums" ;;
    *) want="control md5sums postinst postrm prerm" ;;
  esac
  [[ $members == "$want" ]] || fail "$(basename "$deb") has control files '$members', not '$want'"
done
for script in postinst prerm postrm; do
  shipped=$work/control-$(basename "$server_deb" .deb)/$script
  [[ -x $shipped ]] || fail "the server's $script is not executable"
  cmp -s "$shipped" "$source/dist/debian/zarvenok-server/$script" || fail "the server's $script is not dist/debian/zarvenok-server/$script"
done

for tree in game server; do
  copyright=$(find "$work/$tree/usr/share/doc" -name copyright)
  head -n 1 "$copyright" | grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$" ||
    fail "$tree: the copyright is not in the machine-readable format"
  for licence in GPL-3+ CC-BY-SA-4.0; do
    grep -q "^License: $licence$" "$copyright" || fail "$tree: the copyright has no $licence paragraph"
  done
  changelog=$(find "$work/$tree/usr/share/doc" -name changelog.Debian.gz)
  zcat "$changelog" | head -n 1 | grep -q "^zarvenok ($version-[0-9]*) " || fail "$tree: the changelog's latest entry is not for $version"
done
grep -qx "Exec=/usr/games/zarvenok" "$work/game/usr/share/applications/zarvenok.desktop" ||
  fail "the menu entry does not start /usr/games/zarvenok: $(grep Exec "$work/game/usr/share/applications/zarvenok.desktop")"
zcat "$work/game/usr/share/man/man6/zarvenok.6.gz" | grep -q "^\.TH ZARVENOK 6 .*Zarvenok $version" ||
  fail "the game's manual page is not configured for $version"
appstreamcli validate --no-net "$work/game/usr/share/metainfo/io.github.zarvenok.Zarvenok.metainfo.xml" ||
  fail "the AppStream description does not validate"
echo "both packages pass lintian and hold what Debian expects"
