#!/usr/bin/env bash
# Side by side on the display in $DISPLAY: the whole one-shot capture of lumora
# against scrot and ImageMagick's import, each as a fresh process, RUNS times.
# Prints the median wall time of each in milliseconds and lumora's ratio to it.
set -euo pipefail
lumora=$1
runs=${RUNS:-15}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

median_ms() {  # command... ; prints the median of $runs runs
  local times=() t0 t1
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

export LUMORA_REGISTRY="$out/registry.reg"
"$lumora" --capture --delay 0 --output "$out/warm.bmp" >/dev/null 2>&1 || true  # first run writes the store

declare -A t
t[lumora_bmp]=$(median_ms "$lumora" --capture --delay 0 --output "$out/a.bmp")
t[lumora_jpg]=$(median_ms "$lumora" --capture --delay 0 --output "$out/a.jpg")
t[scrot_jpg]=$(median_ms scrot -o "$out/b.jpg")
t[scrot_png]=$(median_ms scrot -o "$out/b.png")
t[import_bmp]=$(median_ms import -window root "$out/c.bmp")
t[maim_png]=$(median_ms maim "$out/d.png")

printf '%-28s %10s\n' "command ($runs runs, median)" "ms"
for k in lumora_bmp lumora_jpg scrot_jpg scrot_png import_bmp maim_png; do
  printf '%-28s %10s\n' "$k" "${t[$k]}"
done
awk -v l="${t[lumora_bmp]}" -v s="${t[scrot_jpg]}" -v i="${t[import_bmp]}" \
  'BEGIN {printf "lumora bmp / scrot jpg = %.2f, lumora bmp / import bmp = %.2f\n", l/s, l/i}'
