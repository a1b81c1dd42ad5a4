#!/usr/bin/env bash
# Reproducible releases: builds the release of the current commit twice,
# from two copies of it in different folders (so that no path can hide),
# and compares the installers and versions lists byte for byte. Uncommitted
# changes are not part of it. Takes a few minutes: two builds of the product.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrom-dist-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
commit=$(git -C "$root" rev-parse HEAD)

for copy in first second/further/down; do
  mkdir -p "$work/$copy/kestrom"
  git -C "$root" archive "$commit" | tar -x -C "$work/$copy/kestrom"
  echo "dist-check: building $commit in $work/$copy" >&2
  # A test release of the copy's own tree: a signature, the maker's or
  # Windows', differs every time by design.
  env -u KESTROM_SIGNING_KEY -u KESTROM_MAKER_KEY -u KESTROM_CODESIGN_CERT -u KESTROM_CODESIGN_KEY -u KESTROM_TREE \
    "$work/$copy/kestrom/tools/dist.sh" "$work/$copy/out" >/dev/null
done

status=0
for file in $(cd "$work/first/out" && ls); do
  if cmp "$work/first/out/$file" "$work/second/further/down/out/$file"; then
    echo "dist-check: $file is the same in both builds ($(stat -c %s "$work/first/out/$file") bytes)"
  else
    echo "dist-check: $file differs between the two builds" >&2
    status=1
  fi
done
if [ "$(cd "$work/first/out" && ls)" != "$(cd "$work/second/further/down/out" && ls)" ]; then
  echo "dist-check: the two builds gave different files" >&2
  status=1
fi
exit $status
