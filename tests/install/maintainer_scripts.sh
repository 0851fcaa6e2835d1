#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The server package's maintainer scripts as dpkg calls them, with a running
# systemd faked (a private /run holding /run/systemd/system) and systemctl
# and the deb-systemd helpers replaced by stand-ins that record their
# arguments: removal stops the service, an upgrade restarts a running one,
# installing never starts or enables it, a purge forgets its links. Without
# systemd nothing but the helpers' state is touched. Needs unshare(1) with
# mount namespaces (root, or user namespaces): otherwise it reports itself
# skipped.
#   maintainer_scripts.sh SCRIPTS_DIR WORK_DIR
set -euo pipefail
scripts=$1 work=$2
skip=77
rm -rf "$work"
mkdir -p "$work/bin"
fail() { echo "$1"; exit 1; }

for name in systemctl deb-systemd-invoke deb-systemd-helper; do
  printf '#!/bin/sh\necho "%s $*" >> "$CALLS"\n' "$name" > "$work/bin/$name"
  chmod +x "$work/bin/$name"
done
if ! unshare -rm true 2>/dev/null; then
  echo "skipped: unshare cannot make a mount namespace here"
  exit $skip
fi

# SYSTEMD (running or not), the script and its arguments | the calls it must make.
unit=zarvenok-server.service
cases=(
  "running prerm remove|deb-systemd-invoke stop $unit"
  "running prerm upgrade 0.1.0-2|"
  "running prerm failed-upgrade 0.1.0-2|"
  "running postinst configure|deb-systemd-helper update-state $unit;systemctl --system daemon-reload"
  "running postinst configure 0.1.0-0|deb-systemd-helper update-state $unit;systemctl --system daemon-reload;deb-systemd-invoke try-restart $unit"
  "running postrm remove|systemctl --system daemon-reload"
  "running postrm purge|deb-systemd-helper purge $unit"
  "running postrm upgrade 0.1.0-2|"
  "absent prerm remove|"
  "absent postinst configure|deb-systemd-helper update-state $unit"
  "absent postrm purge|deb-systemd-helper purge $unit"
)
for entry in "${cases[@]}"; do
  read -r systemd script args <<< "${entry%%|*}"
  want=${entry#*|}
  calls=$work/calls.txt
  : > "$calls"
  # shellcheck disable=SC2016
  CALLS=$calls PATH="$work/bin:$PATH" SCRIPT="$scripts/$script" SYSTEMD=$systemd \
    unshare -rm sh -ec '
      mount -t tmpfs tmpfs /run
      if [ "$SYSTEMD" = running ]; then mkdir -p /run/systemd/system; fi
      exec "$SCRIPT" "$@"' sh $args ||
    fail "'$script $args' with systemd $systemd ended with status $?"
  got=$(paste -sd ';' "$calls")
  [[ $got == "$want" ]] || fail "'$script $args' with systemd $systemd called '$got', not '$want'"
done
echo "${#cases[@]} calls of the maintainer scripts did what dpkg needs of them"
