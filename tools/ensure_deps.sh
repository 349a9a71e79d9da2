#!/usr/bin/env bash
# Checks that what the build needs is installed. As root it installs what is
# missing with apt-get; otherwise it names the one command to run.
# Usage: tools/ensure_deps.sh play|test|windows|wine|fuzz|bench|deb|lintian|web|web-test
set -euo pipefail
need=(g++ cmake make)
case "${1:-play}" in
  test) need+=(googletest tmux) ;;
  windows) need+=(mingw zip) ;;
  wine) need+=(wine tmux) ;;
  fuzz) need+=(libfuzzer) ;;
  bench) need+=(ncurses tmux) ;;
  deb) need+=(dpkg-dev) ;;
  lintian) need+=(lintian) ;;
  web) need+=(emscripten node) ;;
  web-test) need+=(emscripten node chromium cjk-font) ;;
esac

missing=()
for item in "${need[@]}"; do
  case "$item" in
    g++) command -v g++ >/dev/null || missing+=(g++) ;;
    cmake) command -v cmake >/dev/null || missing+=(cmake) ;;
    make) command -v make >/dev/null || missing+=(make) ;;
    tmux) command -v tmux >/dev/null || missing+=(tmux) ;;
    zip) command -v zip >/dev/null || missing+=(zip) ;;
    dpkg-dev) command -v dpkg-shlibdeps >/dev/null || missing+=(dpkg-dev) ;;
    lintian) command -v lintian >/dev/null || missing+=(lintian) ;;
    googletest) [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev) ;;
    ncurses) [ -f /usr/include/ncursesw/curses.h ] || [ -f /usr/include/curses.h ] || missing+=(libncurses-dev) ;;
    mingw) command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix) ;;
    wine) command -v wine >/dev/null || missing+=(wine wine64) ;;
    emscripten) command -v emcc >/dev/null || missing+=(emscripten) ;;
    node) command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm) ;;
    chromium) command -v chromium >/dev/null || missing+=(chromium) ;;
    cjk-font) [ -n "$(fc-list 'Noto Sans Mono CJK JP' 2>/dev/null)" ] || missing+=(fonts-noto-cjk fontconfig) ;;
    libfuzzer)
      echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
        clang++ -fsanitize=fuzzer -x c++ - -o /dev/null 2>/dev/null || missing+=(clang libclang-rt-dev) ;;
  esac
done
command -v iconv >/dev/null || missing+=(libc-bin)

[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "Missing: ${missing[*]}. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
