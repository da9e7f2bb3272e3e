#!/bin/sh
# check_finding_codes.sh SOURCE_DIR
# Every kind of finding has a code of its own, and the README lists each one,
# since CI jobs match on them.
set -u
root=$1
codes=$(sed -n 's/.*KIND([a-z0-9_]*, *[a-z]*, *"\([^"]*\)").*/\1/p' "$root/update_check/finding_kinds.h")
[ -n "$codes" ] || { echo "no codes found in update_check/finding_kinds.h"; exit 1; }
status=0
repeated=$(echo "$codes" | sort | uniq -d)
[ -z "$repeated" ] || { echo "codes given to more than one kind: $repeated"; status=1; }
for code in $codes; do
  grep -q "\`$code\`" "$root/README.md" || { echo "README.md does not list \`$code\`"; status=1; }
done
echo "$(echo "$codes" | wc -l) codes checked"
exit $status
