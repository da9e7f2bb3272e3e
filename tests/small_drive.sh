#!/bin/sh
# small_drive.sh setup|cleanup MOUNT_DIR WINE_PREFIX DRIVE
# Maps a 3 MB tmpfs as DRIVE (e.g. t:) of the Wine prefix, so that a test can
# fill a disk. Mounting needs root; without it, or when the mount fails, setup
# says why and leaves the drive out, and the test that needs it skips itself.
set -u
action=$1
dir=$2
link="$3/dosdevices/$4"

is_mounted() {
  awk -v d="$dir" '$2 == d { found = 1 } END { exit !found }' /proc/mounts
}

case "$action" in
setup)
  if [ -e "$link" ] || [ -L "$link" ]; then
    if [ "$(readlink "$link")" != "$dir" ]; then
      echo "small drive: $link is taken by something else; not prepared"
      exit 0
    fi
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "small drive: not root, cannot mount; not prepared"
    exit 0
  fi
  mkdir -p "$dir"
  if ! is_mounted && ! mount -t tmpfs -o size=3m tmpfs "$dir"; then
    echo "small drive: mount failed; not prepared"
    rmdir "$dir" 2>/dev/null
    exit 0
  fi
  ln -sfn "$dir" "$link"
  echo "small drive: $dir mapped as $link"
  ;;
cleanup)
  if [ "$(readlink "$link" 2>/dev/null)" = "$dir" ]; then rm -f "$link"; fi
  if is_mounted; then umount "$dir"; fi
  rmdir "$dir" 2>/dev/null
  exit 0
  ;;
*)
  echo "usage: $0 setup|cleanup MOUNT_DIR WINE_PREFIX DRIVE" >&2
  exit 2
  ;;
esac
