#!/usr/bin/env bash
# The installation, staged: cmake --install BUILD into a DESTDIR under the prefix /usr/local. It
# checks the layout; builds a program against the camera library with pkg-config alone and one
# against both libraries through the CMake package; runs them and the installed programs from the
# staging folder (they find their libraries and shipped files relative to themselves); and
# validates the desktop entry.
#   install_check.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
build="$1"
source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "$1"; exit 1; }

stage="$work/stage"
prefix=/usr/local
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    fail "cmake --install failed: $(tail -5 "$work/install.log")"
root="$stage$prefix"
libdir=""
for candidate in "$root"/lib "$root"/lib64 "$root"/lib/*-linux-gnu; do
    [ -e "$candidate/libkxCxLib.so" ] && libdir="${candidate#"$root"/}" && break
done
[ -n "$libdir" ] || fail "no libkxCxLib.so under $root"

for file in bin/Harnview bin/kxcxctl \
    "$libdir/libkxCxLib.so" "$libdir/libkxCxLib.so.2" "$libdir/libkxUiLib.so" "$libdir/libkxUiLib.so.2" \
    include/kxcx/kxCxApi.h include/kxcx/kxCamContextHead.h include/kxui/TextBox.h \
    include/kxui/QVideoEncoder.h "$libdir/pkgconfig/kxcxlib.pc" "$libdir/pkgconfig/kxuilib.pc" \
    "$libdir/cmake/kxcx/kxcxConfig.cmake" "$libdir/cmake/kxcx/kxcxTargets.cmake" \
    share/kxcx/reg_init.txt share/kxcx/firmware/default.bit share/kxcx/gamma/Lookup1024_0.txt \
    share/kxcx/Nelvoralogo.png share/man/man1/kxcxctl.1 share/man/man1/Harnview.1 \
    share/applications/harnview.desktop share/icons/hicolor/256x256/apps/harnview.png; do
    [ -e "$root/$file" ] || fail "not installed: $prefix/$file"
done
soname="$(objdump -p "$root/$libdir/libkxCxLib.so" | awk '/SONAME/ {print $2}')"
[ "$soname" = libkxCxLib.so.2 ] || fail "libkxCxLib's SONAME is '$soname'"

export KXCX_BACKEND=sim KXCX_SIM= KXCX_SIM_SOCKET=none KXCX_LOG_DIR="$work/logs"
export XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=offscreen
unset LD_LIBRARY_PATH

# pkg-config alone, its prefix found from where the .pc file is.
export PKG_CONFIG_PATH="$root/$libdir/pkgconfig"
flags="$(pkg-config --cflags --libs kxcxlib)" || fail "pkg-config does not know kxcxlib"
# shellcheck disable=SC2086
c++ -std=c++17 -o "$work/list_boards" "$source/tests/install/ListBoards.cpp" $flags \
    -Wl,-rpath,"$root/$libdir" || fail "the pkg-config consumer did not build ($flags)"
listed="$("$work/list_boards")" || fail "the pkg-config consumer found no board"
[ "$listed" = RT4207-x6B6B_00 ] || fail "the pkg-config consumer listed '$listed'"
pkg-config --exists kxuilib || fail "pkg-config does not know kxuilib"

# The CMake package.
cmake -S "$source/tests/install/package" -B "$work/package" -G Ninja \
    -DCMAKE_PREFIX_PATH="$root" -DCMAKE_BUILD_RPATH="$root/$libdir" >"$work/package.log" 2>&1 ||
    fail "find_package(kxcx) failed: $(tail -20 "$work/package.log")"
cmake --build "$work/package" >>"$work/package.log" 2>&1 ||
    fail "the package consumers did not build: $(tail -20 "$work/package.log")"
[ "$("$work/package/list_boards")" = RT4207-x6B6B_00 ] || fail "the package consumer found no board"
"$work/package/show_dialog" >/dev/null || fail "the UI library's consumer failed"

# The installed programs find their libraries and Harnview its shipped files.
version="$("$root/bin/kxcxctl" --version)" || fail "the installed kxcxctl did not run"
[[ "$version" == "kxCxLib 2.1."* ]] || fail "the installed kxcxctl says '$version'"
"$root/bin/Harnview" --version >/dev/null || fail "the installed Harnview did not run"
printf 'Sesame_42\n' | "$root/bin/Harnview" --add-user admin --type Admin --root "$work/root" \
    >/dev/null || fail "the installed Harnview could not add a user"
timeout 20 "$root/bin/Harnview" --simulate --root "$work/root" >"$work/viewer.out" \
    2>"$work/viewer.err" &
viewer=$!
for _ in $(seq 200); do
    [ -s "$work/root/firmware/default.bit" ] && break
    sleep 0.1
done
kill "$viewer" 2>/dev/null || true
wait "$viewer" || true
cmp -s "$work/root/reg_init.txt" "$root/share/kxcx/reg_init.txt" ||
    fail "the installed Harnview did not add its shipped files ($(grep -v '^LOG' "$work/viewer.err" | tail -3))"

desktop-file-validate "$root/share/applications/harnview.desktop" ||
    fail "the desktop entry is not valid"
echo "installed under $prefix ($libdir); pkg-config and CMake consumers list $listed; desktop entry valid"
