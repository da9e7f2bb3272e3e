#!/bin/sh
# check_wine_env.sh SOURCE_DIR
# The scripts' shell must not set the Japanese locale for itself: on a fresh
# machine set-up makes the locale after that shell started, the shell cannot
# load it and bash warns. Here the shell finds no locale at all (LOCPATH), and
# a command run through `wine` must still get it, without a warning.
set -u
root=$1
out=$(env -u LANG -u LC_ALL LOCPATH=/nonexistent bash -c '
  source "$1/scripts/lib/wine-env.sh"
  use_installed_tools
  wine_loader=/bin/sh
  wine -c "echo \"\$LANG \$LC_ALL\""
' check_wine_env "$root" 2>&1)
expected="ja_JP.UTF-8 ja_JP.UTF-8"
if [ "$out" != "$expected" ]; then
  echo "expected only \"$expected\", got:"
  echo "$out"
  exit 1
fi
echo "a command run through wine gets the locale, and the shell says nothing"
