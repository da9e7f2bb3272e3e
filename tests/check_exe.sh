#!/bin/sh
# check_exe.sh OBJDUMP EXE [PE32|PE32+] [gui|console]
# The program must run on a bare Windows: an executable of the given kind
# (PE32, 32-bit, for the shipped build) that imports system DLLs only (no MinGW
# runtime DLLs), with its manifest embedded. The updater (gui) asks for
# administrator rights and common controls 6. The checker and the maker
# (console) read no registry, and their manifests must say they run as their
# caller, or Windows would take a program with "update" in its name for an
# installer and ask for administrator rights. They show no window: they import
# no call that makes one or shows a box.
set -u
objdump=$1
exe=$2
kind=${3:-PE32}
program=${4:-gui}
case "$kind" in
PE32) magic=010b ;;
PE32+) magic=020b ;;
*) echo "unknown kind $kind"; exit 2 ;;
esac
status=0
headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
echo "$headers" | grep -q "Magic.*$magic" || { echo "not a $kind executable"; status=1; }
echo "checking $exe as $kind ($program)"
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|ntdll|version|shlwapi|psapi)\.dll$'
for dll in $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
  echo "imports $dll"
  echo "$dll" | grep -Eq "$system_dlls" || { echo "  not a system DLL"; status=1; }
done
case "$program" in
gui)
  echo "$headers" | grep -q 'Subsystem.*Windows GUI' || { echo "not a GUI program"; status=1; }
  grep -aq 'requireAdministrator' "$exe" || { echo "manifest without requireAdministrator"; status=1; }
  grep -aq 'Microsoft.Windows.Common-Controls' "$exe" || { echo "manifest without common controls 6"; status=1; }
  ;;
console)
  echo "$headers" | grep -q 'Subsystem.*Windows CUI' || { echo "not a console program"; status=1; }
  grep -aq 'level="asInvoker"' "$exe" || { echo "manifest without asInvoker"; status=1; }
  echo "$headers" | grep -Eq '[[:space:]]Reg[A-Za-z]*$' && { echo "imports a registry call"; status=1; }
  # Console tools link neither the window framework nor anything that shows a box.
  for call in MessageBoxW CreateWindowExW DialogBoxParamW; do
    echo "$headers" | grep -Eq "[[:space:]]$call\$" && { echo "imports $call"; status=1; }
  done
  ;;
*) echo "unknown program kind $program"; exit 2 ;;
esac
exit $status
