#!/usr/bin/env bash
# Installs everything the build, the tests and the programs need, once.
# Safe to run again: each step checks whether its result is already there.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
deps="$repo/.deps"
mkdir -p "$deps"

log() { printf '[setup] %s\n' "$*"; }

packages=(
  mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xdotool x11-utils imagemagick
  cmake ninja-build make libboost-dev googletest python3 dpkg-dev
  fonts-wqy-microhei
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing Debian packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The include folder holds boost's headers alone, so nothing else from
# /usr/include can shadow the mingw headers.
link_boost() {
  local dir="$deps/boost-include"
  [ -e "$dir/boost/shared_ptr.hpp" ] && return 0
  mkdir -p "$dir"
  ln -sfn /usr/include/boost "$dir/boost"
}

enable_source_lists() {
  local src=/etc/apt/sources.list.d/debian-src.sources
  if [ ! -f "$src" ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$src"
    apt-get update -qq
  fi
}

build_expat() {
  local prefix="$deps/expat"
  [ -f "$prefix/lib/libexpat.a" ] && return 0
  log "building expat for mingw from Debian's source package"
  enable_source_lists
  local work="$deps/expat-src"
  rm -rf "$work"; mkdir -p "$work"
  local got=""
  ( cd "$work"
    for v in $(apt-cache showsrc expat | awk '/^Version:/ {print $2}'); do
      if apt-get source --download-only -qq "expat=$v" >/dev/null 2>&1; then
        echo "$v" > version; break
      fi
    done )
  [ -f "$work/version" ] || { log "no expat source version could be downloaded"; exit 1; }
  got=$(cat "$work/version")
  ( cd "$work" && dpkg-source -x ./*.dsc src >/dev/null )
  local srcdir="$work/src"
  [ -f "$srcdir/expat/CMakeLists.txt" ] && srcdir="$srcdir/expat"
  cmake -S "$srcdir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF \
    -DEXPAT_CHAR_TYPE=char >/dev/null
  # Debian's security patch tests "#if XML_DTD == 1"; CMake writes the macros empty.
  sed -i -e 's/^#define XML_DTD *$/#define XML_DTD 1/' -e 's/^#define XML_NS *$/#define XML_NS 1/' \
    "$work/build/expat_config.h"
  cmake --build "$work/build" >/dev/null
  cmake --install "$work/build" >/dev/null
  log "expat $got installed in $prefix"
}

# A Wine prefix of the project's own, whose user folders live in a scratch
# home, never in the real one.
make_wine_prefix() {
  export WINEPREFIX="$deps/wine" HOME="$deps/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -f "$WINEPREFIX/.norpa-ready" ] && return 0
  log "creating the Wine prefix in $WINEPREFIX"
  mkdir -p "$HOME"
  unset DISPLAY
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Lets the new prefix settle on disk; a server kept running for this
  # prefix by somebody else is not waited for.
  timeout 60 wineserver -w || true
  touch "$WINEPREFIX/.norpa-ready"
}

# Dialog fonts have no Chinese glyphs in a fresh prefix: link them to the
# installed CJK font so that the programs' texts render instead of boxes.
link_cjk_font() {
  export WINEPREFIX="$deps/wine" HOME="$deps/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -f "$WINEPREFIX/.norpa-cjk-font" ] && return 0
  log "linking the prefix's dialog fonts to WenQuanYi Micro Hei"
  unset DISPLAY
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local face
  for face in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  done
  touch "$WINEPREFIX/.norpa-cjk-font"
}

install_packages
link_boost
build_expat
make_wine_prefix
link_cjk_font
