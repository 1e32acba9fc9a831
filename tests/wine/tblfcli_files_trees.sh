#!/usr/bin/env bash
# tblfcli files on folder trees made on the Linux side, where Wine shows
# symbolic links as folder links: a link back to the root, a loop of two
# links, and a chain 200 folders deep (6-character names) with a file at the
# bottom. Each walk ends with status 0, lists the deepest file, and writes
# exactly the rows below: links are listed, entered only with
# --follow-links, and a folder already on the path is never entered again.
# Usage: tblfcli_files_trees.sh TBLFCLI.EXE WINE-RUN
set -u
tblfcli=$1
wine_run=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

root=$work/tree
mkdir -p "$root/a" "$root/b"
ln -s ../b "$root/a/to_b"
ln -s ../a "$root/b/to_a"
ln -s .. "$root/a/up"
deep=$root/deep
for i in $(seq 1 200); do deep=$deep/$(printf 'd%05d' "$i"); done
mkdir -p "$deep"
touch "$deep/bottom.txt"
windows() { echo "Z:${1//\//\\}"; }

failed=0
# options, expected rows, the rows above the deep chain
cases=(
  "|207|a a\\to_b a\\up b b\\to_a"
  "--follow-links|210|a a\\to_b a\\to_b\\to_a a\\up b b\\to_a b\\to_a\\to_b b\\to_a\\up"
)
n=0
for c in "${cases[@]}"; do
  IFS='|' read -r options rows top <<<"$c"
  n=$((n + 1))
  out=$work/out$n.txt
  start=$(date +%s%N)
  # shellcheck disable=SC2086
  timeout 300 "$wine_run" "$tblfcli" files "$(windows "$root")" --template "{%cf}" --order 1 --format tsv \
    --newline lf --encoding 8 --out "$(windows "$out")" $options >"$work/log" 2>&1
  rc=$?
  # wine-run's skip: this width of program cannot run here.
  if [ "$rc" -eq 77 ]; then cat "$work/log"; exit 77; fi
  ms=$((($(date +%s%N) - start) / 1000000))
  got=$(wc -l <"$out" 2>/dev/null || echo 0)
  echo "[ figure ] files ${options:-(default)}: exit $rc, $got rows, $((ms / 1000)).$((ms % 1000 / 100)) s"
  expected_top=$(tr ' ' '\n' <<<"$top")
  [ "$rc" -eq 0 ] || { echo "FAIL: exit status $rc"; cat "$work/log"; failed=1; }
  [ "$got" -eq "$rows" ] || { echo "FAIL: $got rows, not $rows"; failed=1; }
  [ "$(head -n "$(wc -l <<<"$expected_top")" "$out")" = "$expected_top" ] || {
    echo "FAIL: the rows above the deep chain:"; head -n 10 "$out"; failed=1; }
  tail -n 1 "$out" | grep -q '^deep\\d00001\\.*\\d00200\\bottom\.txt$' || { echo "FAIL: the deepest file is missing"; failed=1; }
done
exit $failed
