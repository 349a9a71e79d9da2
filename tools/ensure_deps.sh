#!/bin/sh
# Installs what a build needs on Debian and Ubuntu. Root runs apt-get itself,
# any other user through sudo; either way the exact commands are shown before
# they run. Without root, sudo or apt-get it prints what to install and stops.
# Plain POSIX sh: a fresh system may have nothing else.
# Usage: tools/ensure_deps.sh play|test|windows|wine|fuzz|bench|deb|lintian|web|web-test
set -eu

missing=
need() { missing="$missing $1"; }
have() { command -v "$1" >/dev/null 2>&1; }

# Every build: the compiler, CMake and the make it drives.
have g++ || need g++
have cmake || need cmake
have make || need make
have iconv || need libc-bin

case "${1:-play}" in
  play) ;;
  # The end-to-end checks drive the real program in tmux and find it with pgrep.
  test)
    [ -f /usr/include/gtest/gtest.h ] || need libgtest-dev
    have tmux || need tmux
    have pgrep || need procps ;;
  windows)
    have x86_64-w64-mingw32-g++-posix || need g++-mingw-w64-x86-64-posix
    have zip || need zip ;;
  wine)
    have wine || need "wine wine64"
    have tmux || need tmux ;;
  fuzz)
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
      clang++ -fsanitize=fuzzer -x c++ - -o /dev/null 2>/dev/null || need "clang libclang-rt-dev" ;;
  bench)
    [ -f /usr/include/ncursesw/curses.h ] || [ -f /usr/include/curses.h ] || need libncurses-dev
    have tmux || need tmux
    have pgrep || need procps ;;
  deb) have dpkg-shlibdeps || need dpkg-dev ;;
  lintian) have lintian || need lintian ;;
  # The browser version: Emscripten, Node.js with npm for xterm.js, and the
  # page's font, cut out of Debian's Noto CJK by fontTools (Debian's Python,
  # with Brotli for WOFF2); its tests add Chromium.
  web | web-test)
    have emcc || need emscripten
    { have node && have npm; } || need "nodejs npm"
    [ -f /usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc ] || need fonts-noto-cjk
    /usr/bin/python3 -c 'import fontTools.subset' 2>/dev/null || need python3-fonttools
    /usr/bin/python3 -c 'import brotli' 2>/dev/null || need python3-brotli
    if [ "$1" = web-test ]; then
      have chromium || need chromium
    fi ;;
  *) echo "usage: $0 play|test|windows|wine|fuzz|bench|deb|lintian|web|web-test" >&2; exit 2 ;;
esac

[ -z "$missing" ] && exit 0
missing=${missing# }

if [ "$(id -u)" = 0 ]; then
  sudo=
elif have sudo; then
  sudo='sudo '
else
  sudo=none
fi
# Waits for another apt run (a fresh Ubuntu upgrades itself at first boot)
# instead of failing at once.
apt="apt-get -o DPkg::Lock::Timeout=600"
update="$apt update"
install="$apt install -y --no-install-recommends"
# show_commands PREFIX: the two commands, as they can be copied.
show_commands() {
  echo "  $1$update"
  echo "  $1$install \\"
  echo "      $missing"
}

if ! have apt-get || [ "$sudo" = none ]; then
  echo "Missing: $missing" >&2
  if have apt-get; then
    echo "Install them as root with:" >&2
    show_commands "" >&2
  else
    echo "Install them with your system's package manager." >&2
  fi
  exit 1
fi

echo "Installing what the build needs with:"
show_commands "$sudo"
# sudo asks for the password once, here, rather than under a hidden apt-get.
if [ -n "$sudo" ] && ! sudo -v; then
  echo "sudo refused. Install them as root with:" >&2
  show_commands "" >&2
  exit 1
fi
log=$(mktemp "${TMPDIR:-/tmp}/chessrpg-apt.XXXXXX")
# The commands are lists of words. A failed update (one unreachable source)
# need not stop the install.
# shellcheck disable=SC2086
$sudo$update >"$log" 2>&1 || echo "(apt-get update failed; trying the install anyway)"
# shellcheck disable=SC2086
if ! $sudo$install $missing >>"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "The install failed; its whole output is in $log" >&2
  exit 1
fi
rm -f "$log"
