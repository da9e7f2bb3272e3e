#!/bin/sh
# other_code_page.sh LOADER PREFIX PROGRAM [ARGUMENTS...]
# Runs a Windows test program under Wine with the system code page at 1252, as
# an English Windows has it. Wine takes the code page from the locale a prefix
# was made with, so the program runs in a prefix of its own, made in the
# en_US.UTF-8 locale on the first run, with a server of its own, ended after.
set -u
loader=$1
prefix=$2
shift 2
export WINEPREFIX="$prefix" WINELOADER="$loader" WINEDEBUG="${WINEDEBUG:--all}"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 UPDATER_TEST_CODE_PAGE=1252
server=${WINESERVER:-wineserver}

if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  echo "other code page: the en_US.UTF-8 locale is missing (scripts/setup generates it)"
  exit 1
fi
if [ ! -f "$prefix/.prepared" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  echo "other code page: creating the Wine prefix $prefix in en_US.UTF-8"
  if ! WINEDLLOVERRIDES="mscoree,mshtml=" "$loader" wineboot -i </dev/null >"$prefix.log" 2>&1; then
    echo "other code page: wineboot -i failed: $(tail -n 3 "$prefix.log")"
    exit 1
  fi
  "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  "$server" -w
  touch "$prefix/.prepared"
fi
# Started detached, so that the server does not hold CTest's pipes open.
"$server" -p </dev/null >/dev/null 2>&1 &
"$loader" wineboot </dev/null >/dev/null 2>&1
status=0
"$loader" "$@" || status=$?
"$server" -k 2>/dev/null
exit $status
