#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# SECONDS (default 60) on a copy of the seed corpus in a temporary folder,
# under AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on
# any finding (crash, sanitizer report, hang over 30 s, memory over 2 GB)
# and leaves the reproducer in the temporary folder it names.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

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
# A gear whose every search gives up makes the four sweeps the slowest
# bounded input: about 8 s under the sanitizers on a 2-core machine, more
# when it is busy. Anything over 30 s is taken for a hang.
work="$(mktemp -d -t brevold-fuzz.XXXXXX)"
status=0
passed=0
failed=0
# target, longest input
for t in "fuzz_dimfile 1500" "fuzz_dimvalues 128"; do
  set -- $t
  mkdir -p "$work/$1"
  cp -r "fuzz/corpus/${1#fuzz_}" "$work/$1/corpus"
  echo "== $1 for ${seconds} s"
  if ! "build-fuzz/fuzz/$1" "$work/$1/corpus" -max_total_time="$seconds" -max_len="$2" \
      -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$work/$1/" -print_final_stats=1 \
      2>"$work/$1/log"; then
    status=1
    failed=$((failed + 1))
    tail -n 60 "$work/$1/log"
    echo "== $1 found a fault; reproducer: $(ls "$work/$1"/crash-* "$work/$1"/timeout-* "$work/$1"/oom-* "$work/$1"/leak-* 2>/dev/null | tr '\n' ' ')"
  else
    passed=$((passed + 1))
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$work/$1/log" || true
  fi
done
if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "Findings kept in $work"; fi
echo "fuzz: $passed passed, $failed failed"
exit "$status"
