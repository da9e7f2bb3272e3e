# Shared by the project's scripts: the build folder, its private Wine prefix and
# an X display for the program's windows. Source it; it defines functions only.

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=${BUILD_DIR:-$project_root/build}
export WINEPREFIX=$build_dir/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
# Code page 932 for the program's ANSI text needs the Japanese locale.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

ensure_tools() {
  if ! "$project_root/scripts/setup" --check; then "$project_root/scripts/setup"; fi
}

configure_and_build() {
  local generator=()
  if command -v ninja >/dev/null; then generator=(-G Ninja); fi
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$project_root" -B "$build_dir" "${generator[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="$project_root/cmake/toolchain-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release
  fi
  cmake --build "$build_dir" -j "$(nproc)"
}

# Starts a private Xvfb when no display is given; stop_display undoes it. Xvfb
# picks a free display number itself, so parallel runs do not collide.
xvfb_pid=""
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$numfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$numfile" ]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
      rm -f "$numfile"
      return
    fi
    sleep 0.1
  done
  rm -f "$numfile"
  echo "Xvfb did not start" >&2
  return 1
}

stop_display() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=""
}

# Creates the prefix once and brings an older one up to date.
prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.prepared" ]; then create_prefix; fi
  # Without a window manager, Wine waits up to 2 s for every managed window that
  # is hidden or destroyed; unmanaged windows go at once.
  if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.unmanaged"
  fi
}

# No Mono or Gecko prompts, no crash dialog (a crash must fail a test, not wait
# for a click), fonts with Japanese glyphs.
create_prefix() {
  mkdir -p "$WINEPREFIX"
  echo "Creating Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  local face
  for face in "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic" "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "Tahoma"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Noto Sans CJK JP" /f \
      </dev/null >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.prepared"
}

# A persistent wineserver started with its output detached, so that it does not
# hold a test runner's pipes open; stop_wine ends it.
start_wine() {
  wineserver -p </dev/null >/dev/null 2>&1 &
  wine wineboot </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  wineserver -k 2>/dev/null || true
}
