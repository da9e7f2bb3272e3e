# Shared by the project's scripts: which build this host can run, its build
# folder and private Wine prefix, the Wine loader that runs it, and an X display
# for the program's windows. Source it; it defines variables and functions only.
#
# Two builds come from the same sources: the shipped 32-bit program (build/win32)
# and a 64-bit one (build/win64) for hosts that run no 32-bit code. Every Wine
# command goes through the loader chosen for the build (`wine` below): Debian's
# /usr/bin/wine wrapper picks the 32-bit loader whenever wine32 is installed,
# even on a host that cannot run it.

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_root=${BUILD_DIR:-$project_root/build}
source "$(dirname "${BASH_SOURCE[0]}")/step.sh"
export WINEDEBUG=${WINEDEBUG:--all}

wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64

# Installs what is missing, then makes the choices that depend on what is
# installed: on a fresh machine neither Wine nor the Japanese locale exists
# before set-up has run, so nothing here may be chosen when the file is sourced.
ensure_tools() {
  if ! "$project_root/scripts/setup" --check; then "$project_root/scripts/setup"; fi
  use_installed_tools
}

use_installed_tools() {
  # Both loaders must talk to the same server of a prefix.
  local server
  for server in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver32; do
    if [ -x "$server" ]; then export WINESERVER=$server; return 0; fi
  done
  echo "$script_name: no Wine server found in /usr/lib/wine after set-up" >&2
  return 1
}

# Whether Wine's 32-bit loader starts here; the reason goes to probe_reason.
probe_reason=""
host_runs_32bit() {
  local out rc=0
  if [ ! -x "$wine32_loader" ]; then
    probe_reason="Wine's 32-bit loader $wine32_loader is not installed"
    return 1
  fi
  out=$("$wine32_loader" --version 2>&1) || rc=$?
  if [ "$rc" -eq 0 ]; then
    probe_reason="this host runs 32-bit code ($wine32_loader: $out)"
    return 0
  fi
  probe_reason="this host runs no 32-bit code ($wine32_loader: ${out:-exit $rc})"
  return 1
}

# choose_archs 32|64|both|auto [WHAT]: fills `archs` with the builds to run
# here and says in one line which and why ("WHAT the 64-bit build: ...").
archs=()
choose_archs() {
  local wanted=${1:-auto} what=${2:-Testing}
  case "$wanted" in
    32) archs=(32); echo "$what the 32-bit build (the shipped one): --arch 32 asked for it." ;;
    64) archs=(64); echo "$what the 64-bit build: --arch 64 asked for it." ;;
    both) archs=(32 64); echo "$what the 32-bit build, then the 64-bit build: --arch both asked for them." ;;
    auto)
      if host_runs_32bit; then
        archs=(32); echo "$what the 32-bit build (the shipped one): $probe_reason."
      else
        archs=(64); echo "$what the 64-bit build: $probe_reason."
      fi
      ;;
    *) echo "$script_name: --arch takes 32, 64 or both, not '$wanted'" >&2; return 2 ;;
  esac
}

# select_arch 32|64: the build folder, toolchain, prefix and loader of one build.
select_arch() {
  arch=$1
  if [ "$arch" = 32 ]; then
    build_dir=$build_root/win32
    toolchain=$project_root/cmake/toolchain-mingw32.cmake
    wine_loader=$wine32_loader
  else
    build_dir=$build_root/win64
    toolchain=$project_root/cmake/toolchain-mingw64.cmake
    wine_loader=$wine64_loader
  fi
  export WINEPREFIX=$build_dir/wineprefix
  export WINELOADER=$wine_loader
}

# Code page 932 for the programs' ANSI text needs the Japanese locale. It is
# given to each Wine command, never set in this shell: a shell cannot take a
# locale that set-up made after it started, and bash warns when it is told to.
japanese_locale=(LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8)
wine() { env "${japanese_locale[@]}" "$wine_loader" "$@"; }
winepath() { env "${japanese_locale[@]}" "$wine_loader" winepath "$@" 2>/dev/null; }
wineserver() { env "${japanese_locale[@]}" "$WINESERVER" "$@"; }

configure_and_build() {
  local generator=()
  if command -v ninja >/dev/null; then generator=(-G Ninja); fi
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$project_root" -B "$build_dir" "${generator[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DWINE_LOADER="$wine_loader" >/dev/null
  fi
  cmake --build "$build_dir" -j "$(nproc)"
}

# Starts a private Xvfb when no display is given; stop_display undoes it. Xvfb
# picks a free display number itself, so parallel runs do not collide.
xvfb_pid=""
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local numfile errfile
  numfile=$(mktemp)
  errfile=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$numfile" >"$errfile" 2>&1 &
  xvfb_pid=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$numfile" ]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
      rm -f "$numfile" "$errfile"
      return
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "$script_name: starting Xvfb failed: $(tail -n 3 "$errfile" | tr '\n' ' ')" >&2
  rm -f "$numfile" "$errfile"
  xvfb_pid=""
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
    step "setting the prefix's windows unmanaged" \
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    wineserver -w
    touch "$WINEPREFIX/.unmanaged"
  fi
}

# No Mono or Gecko prompts, no crash dialog (a crash must fail a test, not wait
# for a click), fonts with Japanese glyphs.
create_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  echo "Creating Wine prefix $WINEPREFIX with $wine_loader"
  WINEDLLOVERRIDES="mscoree,mshtml=" step "creating the Wine prefix (wineboot -i)" wine wineboot -i
  step "turning off Wine's crash dialog" \
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  local face
  for face in "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic" "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "Tahoma"; do
    step "setting a font replacement for $face" \
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Noto Sans CJK JP" /f
  done
  wineserver -w
  touch "$WINEPREFIX/.prepared"
}

# A persistent wineserver started with its output detached, so that it does not
# hold a test runner's pipes open; stop_wine ends it.
start_wine() {
  wineserver -p </dev/null >/dev/null 2>&1 &
  step "starting the prefix (wineboot)" wine wineboot
}

stop_wine() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
}
