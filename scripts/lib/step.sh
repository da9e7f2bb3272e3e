# step NAME COMMAND...: for set-up scripts. Source it.
script_name=$(basename "$0")

# Runs a step quietly; when it fails, says which step and what the command said.
step() {
  local name=$1 log rc=0
  shift
  log=$(mktemp)
  "$@" >"$log" 2>&1 </dev/null || rc=$?
  if [ "$rc" -ne 0 ]; then
    # The command's own error lines where it marks them, else its last lines.
    local said
    said=$(grep -E '^(E:|Err:|[Ee]rror|fatal|wine:)' "$log" | head -n 3)
    [ -n "$said" ] || said=$(grep -v '^[[:space:]]*$' "$log" | tail -n 3)
    echo "$script_name: $name failed (exit $rc): $(tr -s '\n ' ' ' <<<"$said")" >&2
  fi
  rm -f "$log"
  return "$rc"
}
