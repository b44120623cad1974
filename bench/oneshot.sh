#!/usr/bin/env bash
# Side by side on the display in $DISPLAY: the whole one-shot capture of lumora
# against scrot and ImageMagick's import, each a fresh process, run alternately
# RUNS times so that the machine's drift hits all alike. Prints medians in ms and
# lumora's ratio to each peer.
set -euo pipefail
source "$(dirname "$0")/alternate.sh"
lumora=$1
runs=${RUNS:-21}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export LUMORA_REGISTRY="$out/registry.reg"
"$lumora" --capture --delay 0 --output "$out/warm.bmp" >/dev/null 2>&1 || true  # the first run writes the store

names=(lumora_bmp lumora_jpg scrot_jpg import_bmp lumora_start scrot_start)
commands=(
  "$lumora --capture --delay 0 --output $out/a.bmp"
  "$lumora --capture --delay 0 --output $out/a.jpg"
  "scrot -o $out/b.jpg"
  "import -window root $out/c.bmp"
  "$lumora --version"
  "scrot --version"
)
alternate "$runs"
printf '%-30s %8s\n' "command ($runs runs, median)" "ms"
for n in "${names[@]}"; do
  printf '%-30s %8s\n' "$n" "${m[$n]}"
done
awk -v l="${m[lumora_bmp]}" -v j="${m[lumora_jpg]}" -v s="${m[scrot_jpg]}" -v i="${m[import_bmp]}" \
  -v ls="${m[lumora_start]}" -v ss="${m[scrot_start]}" 'BEGIN {
    printf "lumora bmp / scrot jpg = %.2f, lumora jpg / scrot jpg = %.2f, lumora bmp / import bmp = %.2f\n", l/s, j/s, l/i
    printf "process start alone: lumora / scrot = %.2f (%.1f ms more)\n", ls/ss, ls-ss }'
