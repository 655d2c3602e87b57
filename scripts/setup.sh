#!/usr/bin/env bash
# Installs everything the build, the tests and the programs need, once.
# Safe to run again: each step checks whether its result is already there,
# and a step that fails says what failed and leaves nothing half-made, so
# that the next run does it again.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
deps="$repo/.deps"
mkdir -p "$deps"

log() { printf '[setup] %s\n' "$*"; }
fail() {
  printf '[setup] failed: %s\n' "$*" >&2
  exit 1
}
trap 'printf "[setup] failed at line %s: %s\n" "$LINENO" "$BASH_COMMAND" >&2' ERR

packages=(
  mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick
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
  apt-get update -qq || fail "apt-get update"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    fail "apt-get install ${missing[*]}"
}

# The include folder holds boost's headers alone, so nothing else from
# /usr/include can shadow the mingw headers.
link_boost() {
  local dir="$deps/boost-include"
  [ -e "$dir/boost/shared_ptr.hpp" ] && return 0
  mkdir -p "$dir"
  ln -sfn /usr/include/boost "$dir/boost"
}

# Writes what the command prints to target, whole or not at all. False when
# the command failed or printed nothing.
write_whole() {
  local target=$1
  shift
  local staged="$target.$$.new"
  if "$@" >"$staged" && [ -s "$staged" ]; then
    mv -f "$staged" "$target"
  else
    rm -f "$staged"
    return 1
  fi
}

# Source entries beside the machine's package entries, in either form it
# may have them: the one-line /etc/apt/sources.list that Debian's installer
# writes and the deb822 debian.sources that container images ship.
one_line_sources() { sed -nE '/cdrom:/d; s/^[[:space:]]*deb[[:space:]]+/deb-src /p' /etc/apt/sources.list; }
deb822_sources() { sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources; }

source_versions() { apt-cache showsrc expat 2>/dev/null | awk '/^Version:/ {print $2}'; }

# Debian's source packages (expat has no mingw build), from the entries
# derived above. Derived files that apt cannot use go again, so that a
# failed run leaves the machine's lists as they were.
enable_source_lists() {
  [ -n "$(source_versions)" ] && return 0
  local dir=/etc/apt/sources.list.d made=()
  if [ -f /etc/apt/sources.list ] && write_whole "$dir/norpa-src.list" one_line_sources; then
    made+=("$dir/norpa-src.list")
  fi
  if [ -f "$dir/debian.sources" ] && write_whole "$dir/norpa-src.sources" deb822_sources; then
    made+=("$dir/norpa-src.sources")
  fi
  [ ${#made[@]} -gt 0 ] ||
    fail "no package entries to derive source entries from in /etc/apt/sources.list or $dir/debian.sources"
  log "added source entries: ${made[*]}"
  if ! apt-get update -qq || [ -z "$(source_versions)" ]; then
    rm -f "${made[@]}"
    apt-get update -qq || true
    fail "apt-get update with the source entries ${made[*]} (removed again)"
  fi
}

build_expat() {
  local prefix="$deps/expat"
  [ -f "$prefix/lib/libexpat.a" ] && return 0
  log "building expat for mingw from Debian's source package"
  enable_source_lists
  local work="$deps/expat-src"
  rm -rf "$work" "$prefix"
  mkdir -p "$work"
  # The security suite may list a newer version that cannot be downloaded.
  local v got=""
  for v in $(source_versions); do
    if (cd "$work" && apt-get source --download-only -qq "expat=$v" >/dev/null 2>&1); then
      got=$v
      break
    fi
  done
  [ -n "$got" ] || fail "no expat source version could be downloaded"
  (cd "$work" && dpkg-source -x ./*.dsc src >/dev/null) || fail "unpacking expat $got"
  local srcdir="$work/src"
  [ -f "$srcdir/expat/CMakeLists.txt" ] && srcdir="$srcdir/expat"
  cmake -S "$srcdir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF \
    -DEXPAT_CHAR_TYPE=char >/dev/null || fail "configuring expat $got"
  # Debian's security patch tests "#if XML_DTD == 1"; CMake writes the macros empty.
  sed -i -e 's/^#define XML_DTD *$/#define XML_DTD 1/' -e 's/^#define XML_NS *$/#define XML_NS 1/' \
    "$work/build/expat_config.h"
  cmake --build "$work/build" >/dev/null || fail "building expat $got"
  # Installed beside the final place and moved there whole: the library
  # file is what later runs look for.
  cmake --install "$work/build" --prefix "$prefix.new" >/dev/null || { rm -rf "$prefix.new"; fail "installing expat $got"; }
  mv "$prefix.new" "$prefix"
  log "expat $got installed in $prefix"
}

wine_env() {
  export WINEPREFIX="$deps/wine" HOME="$deps/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset DISPLAY
}

# A Wine prefix of the project's own, whose user folders live in a scratch
# home, never in the real one.
make_wine_prefix() {
  wine_env
  [ -f "$WINEPREFIX/.norpa-ready" ] && return 0
  log "creating the Wine prefix in $WINEPREFIX"
  mkdir -p "$HOME"
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
    fail "setting the prefix's window manager mode"
  # Lets the new prefix settle on disk; a server kept running for this
  # prefix by somebody else is not waited for.
  timeout 60 wineserver -w || true
  touch "$WINEPREFIX/.norpa-ready"
}

# Fonts of the prefix, also for one made before fonts-wine was installed:
# the symbol font of the caption buttons (without it they show the letters
# "0 1 r") and Wine's own Tahoma come from fonts-wine, whose folder this
# Wine does not search by itself; dialog and caption fonts have no Chinese
# glyphs, so they are linked to the installed CJK font.
set_up_wine_fonts() {
  wine_env
  [ -f "$WINEPREFIX/.norpa-fonts" ] && return 0
  log "pointing the prefix at fonts-wine and linking its fonts to WenQuanYi Micro Hei"
  local marlett
  marlett=$(dpkg -L fonts-wine | grep '/marlett\.ttf$' | head -n1) || true
  [ -n "$marlett" ] || fail "fonts-wine holds no marlett.ttf"
  local folder="Z:$(dirname "$marlett" | tr / '\\')"
  wine reg add 'HKCU\Software\Wine\Fonts' /v Path /d "$folder" /f >/dev/null 2>&1 ||
    fail "adding $folder to the prefix's font folders"
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local face
  for face in Tahoma "Tahoma Bold" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 ||
      fail "linking $face to WenQuanYi Micro Hei"
  done
  timeout 60 wineserver -w || true
  touch "$WINEPREFIX/.norpa-fonts"
}

# Edit boxes draw with the dialog font itself and do not follow the font
# links above, so Chinese typed into them showed as boxes. As on a Chinese
# Windows, the dialog font names stand for a font with Chinese glyphs.
substitute_dialog_fonts() {
  wine_env
  [ -f "$WINEPREFIX/.norpa-font-substitutes" ] && return 0
  log "substituting the prefix's dialog fonts by WenQuanYi Micro Hei"
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  local face
  for face in "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add "$key" /v "$face" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 ||
      fail "substituting $face by WenQuanYi Micro Hei"
  done
  timeout 60 wineserver -w || true
  touch "$WINEPREFIX/.norpa-font-substitutes"
}

install_packages
link_boost
build_expat
make_wine_prefix
set_up_wine_fonts
substitute_dialog_fonts
