#!/bin/bash
# Installs everything the build and the tests need on a Debian 12 amd64 machine, as root.
# Idempotent: a second run only checks.  WORK=<folder> holds the qemu download and the Wine prefix.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
WORK=${WORK:-$PWD/build/wine}
mkdir -p "$WORK"
log() { echo "[deps $(date +%T)] $*"; }

if [ "${QR5_HOST_ONLY:-0}" != 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then dpkg --add-architecture i386; fi
need=""
HOST="g++ cmake ninja-build googletest libgtest-dev zlib1g-dev zip unzip python3 clang libclang-rt-14-dev liblnk-utils"
# The extraction benchmark also measures libdeflate (bench/ only; nothing shipped uses it).
HOST="$HOST libdeflate-dev"
WINDOWS="g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 xvfb xauth xdotool imagemagick fonts-wine"
[ "${QR5_HOST_ONLY:-0}" = 1 ] && WINDOWS=""
for p in $HOST $WINDOWS; do
    dpkg -s "$p" >/dev/null 2>&1 || need="$need $p"
done
if [ "${QR5_HOST_ONLY:-0}" != 1 ]; then
    WINE="wine wine32:i386"
    # 64-bit Wine beside it, where the machine has it: the test on 64-bit Windows.
    [ "$(dpkg --print-architecture)" = amd64 ] && WINE="$WINE wine64"
    for p in $WINE; do
        dpkg -s "$p" >/dev/null 2>&1 || need="$need $p"
    done
fi
if [ -n "$need" ]; then
    log "apt-get install$need"
    # A mirror in the middle of a sync fails one index now and then: try again, then go on
    # with the lists there are (apt-get install says what is still missing).
    for try in 1 2 3; do apt-get update -qq && break; log "apt-get update failed (try $try)"; sleep 10; done
    # wine32 needs its recommends (fonts, X libraries); the rest does not
    apt-get install -y -qq --no-install-recommends $(echo "$need" | tr ' ' '\n' | grep -v '^wine' | tr '\n' ' ') >/dev/null
    wine=$(echo "$need" | tr ' ' '\n' | grep '^wine' | tr '\n' ' ' || true)
    if [ -n "$wine" ]; then
        # Without a mirror's i386 security index, apt would lift a library to its security version for
        # amd64 and find no i386 twin of it (wine64 alone meets it too, through libwine's gstreamer);
        # then the release's own versions are taken for both.
        apt-get install -y -qq $wine >/dev/null ||
            apt-get install -y -qq -t bookworm $wine >/dev/null
    fi
fi

# 32-bit Linux binaries (Wine's loader) need qemu-i386 >= 10 on kernels without i386 support.
if [ "${QR5_HOST_ONLY:-0}" = 1 ]; then log "host dependencies ready"; exit 0; fi
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    QEMU=/usr/local/bin/qemu-i386-wine
    if [ ! -x "$QEMU" ]; then
        log "fetching qemu-user from bookworm-backports"
        BP="$WORK/bp"; mkdir -p "$BP/lists/partial" "$BP/x"
        MIRROR=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
        [ -n "$MIRROR" ] || MIRROR=$(awk '/^deb /{print $2; exit}' /etc/apt/sources.list)
        echo "deb $MIRROR bookworm-backports main" > "$BP/sources.list"
        APTBP=(-o Dir::Etc::sourcelist="$BP/sources.list" -o Dir::Etc::sourceparts=- -o Dir::State::lists="$BP/lists" -o APT::Sandbox::User=root)
        apt-get "${APTBP[@]}" update -qq
        (cd "$BP" && apt-get "${APTBP[@]}" download qemu-user >/dev/null)
        dpkg-deb -x "$BP"/qemu-user_*.deb "$BP/x"
        install -m 755 "$BP/x/usr/bin/qemu-i386" "$QEMU"
    fi
    mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        echo ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$QEMU:OCF" \
            > /proc/sys/fs/binfmt_misc/register
    fi
    /lib/ld-linux.so.2 --version >/dev/null
fi
log "dependencies ready"
