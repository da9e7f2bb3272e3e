#!/bin/sh
# check_layers.sh SOURCE_DIR
# Each folder of the product includes only its own headers and those of the
# floors below it that its library links, so that a program can use only what
# its build target names. A header named without a folder is one the build
# generates (the programs' version).
set -u
cd "$1" || exit 2
status=0
check() {
  folder=$1; shift
  allowed=$(printf '%s|' "$folder" "$@"); allowed=${allowed%|}
  bad=$(grep -n '^#include "' "$folder"/*.h "$folder"/*.cpp 2>/dev/null |
        grep -Ev "#include \"(($allowed)/|[^/\"]*\")")
  if [ -n "$bad" ]; then
    echo "$folder/ may include only $allowed:"; echo "$bad" | sed 's/^/  /'; status=1
  fi
}
check file
check util/text file
check util/fs file
check console
check nt3 util/text file
check update_core util/fs util/text file
check copy_engine update_core util/fs util/text file
check update copy_engine update_core nt3 util/fs util/text file res
check update_check update_core console util/fs util/text file
check update_make update_check update_core console util/fs util/text file
# util/ holds its two floors only, so that no source escapes both.
loose=$(ls util/*.h util/*.cpp 2>/dev/null)
if [ -n "$loose" ]; then echo "util/ holds sources outside util/text and util/fs:"; echo "$loose" | sed 's/^/  /'; status=1; fi
[ $status -eq 0 ] && echo "every folder includes only the floors below it"
exit $status
