# Sourced by the side-by-side scripts. `alternate RUNS` runs each of "${commands[@]}"
# (named by "${names[@]}") RUNS times, one after the other in turn so that the
# machine's drift hits all alike, and leaves the median of each in ms in `m`.
alternate() {
  local runs=$1 i k t0 t1
  declare -gA times m
  for ((i = 0; i < runs; i++)); do
    for k in "${!names[@]}"; do
      t0=$(date +%s%N)
      ${commands[$k]} >/dev/null 2>&1
      t1=$(date +%s%N)
      times[${names[$k]}]+="$(((t1 - t0) / 1000)) "
    done
  done
  for k in "${names[@]}"; do
    m[$k]=$(printf '%s\n' ${times[$k]} | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}')
  done
}
