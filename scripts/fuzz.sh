#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each on
# a copy of its seed corpus in a temporary folder, under AddressSanitizer
# and UndefinedBehaviorSanitizer:
#
#   scripts/fuzz.sh [SECONDS]   each target in turn for SECONDS (default 60)
#   scripts/fuzz.sh --runs N    each target to N inputs, as many targets at
#                               once as the machine has cores
#
# Names of targets after these (fuzz_dimjson ...) run only those.
#
# Prints each target's inputs, time, inputs a second and coverage (cov: and
# ft: of libFuzzer's last line). Exits non-zero on any finding (crash,
# sanitizer report, hang over 120 s, memory over 2 GB) and leaves the
# reproducer in the temporary folder it names.
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: $0 [SECONDS | --runs N] [TARGET...]"
runs=""
seconds=60
case "${1:-}" in
  --runs)
    runs="${2:-}"
    [[ "$runs" =~ ^[0-9]+$ && "$runs" -gt 0 ]] || { echo "$usage" >&2; exit 2; }
    shift 2
    ;;
  [0-9]*)
    seconds="$1"
    [[ "$seconds" =~ ^[0-9]+$ && "$seconds" -gt 0 ]] || { echo "$usage" >&2; exit 2; }
    shift
    ;;
esac

# target, longest input. In the long runs the costliest first, so that
# the short ones fill the other cores.
targets=("fuzz_dimfile 1500" "fuzz_dimvalues 128" "fuzz_dimjson 16384" "fuzz_cliopts 1024")
if [ $# -gt 0 ]; then
  chosen=()
  for name in "$@"; do
    found=""
    for t in "${targets[@]}"; do [ "${t%% *}" = "$name" ] && chosen+=("$t") && found=1; done
    [ -n "$found" ] || { echo "fuzz: no target '$name' ($usage)" >&2; exit 2; }
  done
  targets=("${chosen[@]}")
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
apt_install() {
  echo "Installing: $*"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}

# The project's own packages, then clang and the fuzzer and sanitizer
# runtimes of its version.
bash scripts/install-deps.sh
command -v clang++ >/dev/null || apt_install clang
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" 2>/dev/null; then
  major="$(clang++ -dumpversion | cut -d. -f1)"
  apt_install "libclang-rt-$major-dev"
fi

bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DBREVOLD_FUZZ=ON \
  -DBREVOLD_GUI=OFF -DBREVOLD_TESTS=OFF -DBREVOLD_BENCH=OFF

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A gear whose searches give up makes the four sweeps the slowest bounded
# input: the worst found so far took 29 s under the sanitizers on a 2-core
# machine, and a busy machine takes longer. Anything over 120 s is taken for
# a hang.
work="$(mktemp -d -t brevold-fuzz.XXXXXX)"

# Runs one target into $work/NAME/ (log, rc, seconds, reproducers).
run_target() {  # NAME MAX_LEN
  local t="$1" len="$2" dir="$work/$1"
  mkdir -p "$dir"
  cp -r "fuzz/corpus/${t#fuzz_}" "$dir/corpus"
  local limit=(-max_total_time="$seconds")
  [ -n "$runs" ] && limit=(-runs="$runs")
  local dict=()
  [ -f "fuzz/${t#fuzz_}.dict" ] && dict=(-dict="fuzz/${t#fuzz_}.dict")
  local start=$SECONDS rc=0
  # The long runs give the dimension-file target's diagram sweeps, a
  # quarter of a second each under the sanitizers, to one input in 256
  # instead of 16: every input still loads, solves, centres and paints.
  if [ -n "$runs" ]; then export BREVOLD_FUZZ_SWEEP_EVERY=256; fi
  "build-fuzz/fuzz/$t" "$dir/corpus" "${limit[@]}" "${dict[@]}" -max_len="$len" \
    -timeout=120 -rss_limit_mb=2048 -artifact_prefix="$dir/" -print_final_stats=1 \
    >"$dir/out" 2>"$dir/log" || rc=$?
  echo $((SECONDS - start)) >"$dir/seconds"
  echo "$rc" >"$dir/rc"
}

if [ -z "$runs" ]; then
  for t in "${targets[@]}"; do
    set -- $t
    echo "== $1 for ${seconds} s"
    run_target "$1" "$2"
  done
else
  cores="$(nproc)"
  echo "== each target to $runs inputs, $cores at once"
  for t in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$cores" ]; do wait -n || true; done
    set -- $t
    echo "== $1 started"
    run_target "$1" "$2" &
  done
  wait
fi

status=0
passed=0
failed=0
for t in "${targets[@]}"; do
  set -- $t
  dir="$work/$1"
  log="$dir/log"
  # The last status line: "#N DONE cov: C ft: F ..." or the last before a finding.
  last="$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)"
  cov="$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$last")"
  ft="$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<<"$last")"
  units="$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")"
  [ -n "$units" ] || units="$(sed -nE 's/^#([0-9]+).*/\1/p' <<<"$last")"
  secs="$(cat "$dir/seconds")"
  rate="$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")"
  rss="$(sed -nE 's/^stat::peak_rss_mb: *([0-9]+)/\1/p' "$log")"
  printf '== %-15s %9s inputs in %6s s, %6s inputs/s, cov %5s, ft %6s, peak %s MB\n' \
    "$1" "${units:-?}" "$secs" "${rate:-?}" "${cov:-?}" "${ft:-?}" "${rss:-?}"
  if [ "$(cat "$dir/rc")" -ne 0 ]; then
    status=1
    failed=$((failed + 1))
    tail -n 60 "$log"
    echo "== $1 found a fault; reproducer: $(ls "$dir"/crash-* "$dir"/timeout-* "$dir"/oom-* "$dir"/leak-* 2>/dev/null | tr '\n' ' ')"
  else
    passed=$((passed + 1))
  fi
done
if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "Findings kept in $work"; fi
echo "fuzz: $passed passed, $failed failed"
exit "$status"
