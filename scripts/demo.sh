#!/bin/bash
# The demo installation: builds the setup with the sample suite appended,
# makes a fresh simulated Windows machine under build/demo-machine, puts the
# setup and KAVO5.DLL on its drive D: (as on a CD) and runs the wizard in the
# text console.
#   scripts/demo.sh                 replays an English installation into
#                                   D:\Apps\QR5 (tests/e2e/english_install_d_apps.txt)
#   scripts/demo.sh --interactive   you type the actions yourself
#   scripts/demo.sh ACTIONS-FILE    replays your own action file
# Needs root on a fresh machine (installs packages with apt-get).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
if [ "${QR5_SKIP_DEPS:-0}" != 1 ]; then
  # The demo needs only the host toolchain; the Windows packages come with the tests.
  QR5_HOST_ONLY=1 bash .ci/install-deps.sh
fi
# The build shows as one progress line; its full output goes to a log, shown
# only when it fails.
mkdir -p build
LOG="$ROOT/build/demo-build.log"
: >"$LOG"
progress() {
  local line
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$LOG"
    if [ -t 1 ] && [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]]; then
      printf '\r--- building the setup: step %s of %s ' "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
    fi
  done
}
printf -- '--- building the setup'
if ! { cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && ninja -C build QR5_Installer qr5machine; } 2>&1 | progress; then
  echo
  echo "--- the build failed; its last lines (all of them in $LOG):"
  tail -n 30 "$LOG"
  exit 1
fi
if [ -t 1 ]; then printf '\r--- building the setup: done%20s\n' ''; else echo ": done"; fi

M="$ROOT/build/demo-machine"
rm -rf "$M"
build/bin/qr5machine new "$M"
mkdir -p "$M/drives/D/Apps"
cp build/bin/QR5_Installer build/bin/KAVO5.DLL "$M/drives/D/"

echo "--- running D:\\QR5_Installer on the simulated machine $M"
case "${1:-}" in
  --interactive) "$M/drives/D/QR5_Installer" ;;
  "") grep -v '^#' tests/e2e/english_install_d_apps.txt | "$M/drives/D/QR5_Installer" ;;
  *) grep -v '^#' "$1" | "$M/drives/D/QR5_Installer" ;;
esac

echo
echo "--- what the installation left on the machine"
build/bin/qr5machine tree "$M" 'D:\Apps' | head -40 || true
echo "..."
build/bin/qr5machine tree "$M" 'C:\Documents and Settings\All Users\Start Menu\Programs' || true
echo "--- registry (HKCU\\Quorlin5 and the uninstall entry)"
build/bin/qr5machine reg "$M" | grep -A3 -i -E '^\[HKEY_CURRENT_USER\\Quorlin5\]|Uninstall\\Quorlin 5\]' || true
