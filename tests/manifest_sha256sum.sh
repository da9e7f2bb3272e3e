#!/bin/sh
# manifest_sha256sum.sh WINE_RUN MAKER WORK_DIR
# Makes an update with the built update_make.exe and checks its update.sha256
# with GNU coreutils' sha256sum, run in the update folder as a publisher or a
# mirror runs it: it passes, fails once a byte of a file is changed, and a
# second make of the same releases writes the very same manifest.
set -u
wine_run=$1
maker=$2
work=$3

fail() { echo "manifest_sha256sum: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work/old" "$work/new/data/sub" "$work/new/音声" || fail "cannot make $work"
cd "$work" || exit 1
printf 'MZ engine' >old/VelkorEngine.exe
cp old/VelkorEngine.exe new/VelkorEngine.exe
printf 'old readme' >old/readme.txt
printf 'new readme' >new/readme.txt
printf 'a pak' >new/data/a.pak
head -c 2500000 /dev/urandom >new/data/sub/big.bin
printf 'voice' >"new/音声/ボイス 1.ogg"
: >new/data/empty.dat

make_update() {
  "$wine_run" "$maker" old new "$1" --reg-path 'VelkorSoft\HoshiNoMeikyu' --game-title '星の迷宮' \
    --update-title '星の迷宮 1.02' >"$1.log" 2>&1 || fail "update_make.exe failed: $(cat "$1.log")"
}

make_update out
[ -f out/update.sha256 ] || fail "no update.sha256 in the made update"
(cd out && sha256sum --strict -c update.sha256) || fail "sha256sum -c does not pass the made update"
checked=$(cd out && LC_ALL=C sha256sum -c update.sha256 | grep -c ': OK$')
[ "$checked" = 5 ] || fail "sha256sum checked $checked files, not the 5 of gamedata"

make_update again
cmp -s out/update.sha256 again/update.sha256 || fail "two makes of the same releases wrote different manifests"

printf 'X' | dd of=out/gamedata/data/sub/big.bin bs=1 seek=1234567 conv=notrunc 2>/dev/null
if (cd out && sha256sum -c update.sha256 >/dev/null 2>&1); then fail "sha256sum -c passes a changed file"; fi

echo "manifest_sha256sum: sha256sum -c checks the made update's $checked files"
cd / && rm -rf "$work"
