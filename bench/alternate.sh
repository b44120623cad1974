# Sourced by the side-by-side scripts. `alternate RUNS` runs each of "${commands[@]}"
# (named by "${names[@]}") RUNS times, one after the other in turn so that the
# machine's drift hits all alike, and leaves the median of each in ms in `m`, and
# the median of its CPU time (user and system, children included) in `cpu`. On a
# machine that others share, the CPU times say what the wall times cannot.
alternate() {
  local runs=$1 i k measured real user sys
  declare -gA times cputimes m cpu
  local TIMEFORMAT='%3R %3U %3S'
  for ((i = 0; i < runs; i++)); do
    for k in "${!names[@]}"; do
      measured=$({ time ${commands[$k]} >/dev/null 2>&1; } 2>&1)
      read -r real user sys <<<"$measured"
      times[${names[$k]}]+="$real "
      cputimes[${names[$k]}]+="$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }') "
    done
  done
  for k in "${names[@]}"; do
    m[$k]=$(printf '%s\n' ${times[$k]} | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]*1000}')
    cpu[$k]=$(printf '%s\n' ${cputimes[$k]} | sort -n | awk '{a[NR]=$1} END {printf "%.0f", a[int((NR+1)/2)]*1000}')
  done
}
