#!/usr/bin/env bash
# Side by side on the display in $DISPLAY: a PNG of the whole screen by lumora's
# one-shot capture, scrot, ImageMagick's import and maim, each a fresh process,
# run alternately RUNS times so that the machine's drift hits all alike. Prints
# each one's median time and file size, lumora's ratios to the fastest peer and
# to the smallest peer file, and whether lumora's file holds the same pixels as
# import's.
set -euo pipefail
source "$(dirname "$0")/alternate.sh"
lumora=$1
runs=${RUNS:-7}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export LUMORA_REGISTRY="$out/registry.reg"
"$lumora" --capture --delay 0 --output "$out/warm.png" >/dev/null 2>&1 || true  # the first run writes the store

names=(lumora scrot import maim)
commands=(
  "$lumora --capture --delay 0 --output $out/lumora.png"
  "scrot -o $out/scrot.png"
  "import -window root $out/import.png"
  "maim $out/maim.png"
)
alternate "$runs"
printf '%-12s %10s %12s\n' "PNG ($runs runs)" "median ms" "bytes"
declare -A s
for n in "${names[@]}"; do
  s[$n]=$(stat -c %s "$out/$n.png")
  printf '%-12s %10s %12s\n' "$n" "${m[$n]}" "${s[$n]}"
done
awk -v l="${m[lumora]}" -v ls="${s[lumora]}" \
  -v a="${m[scrot]}" -v b="${m[import]}" -v c="${m[maim]}" \
  -v sa="${s[scrot]}" -v sb="${s[import]}" -v sc="${s[maim]}" 'BEGIN {
    fast = a; if (b < fast) fast = b; if (c < fast) fast = c
    small = sa; if (sb < small) small = sb; if (sc < small) small = sc
    printf "lumora / fastest peer: time %.2f; lumora / smallest peer file: size %.3f\n", l / fast, ls / small }'
differing=$(compare -metric AE "$out/lumora.png" "$out/import.png" null: 2>&1 || true)
echo "pixels differing between lumora's and import's file: $differing"
