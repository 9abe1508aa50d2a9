#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs each for a bounded time on its seed corpus (fuzz/corpus/<target>/, read only)
# plus a working corpus kept in the build folder.
#
#   scripts/fuzz.sh [seconds per target] [target...]      (default: 60, every target)
#
# Extra libFuzzer options go in VENDREL_FUZZ_OPTIONS (for example "-runs=10000000").
# Crashing inputs land in <build>/fuzz/artifacts/. The machine is shared: the fuzzers run
# niced, one job each. Installs clang and its fuzzer runtime when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
build=${VENDREL_FUZZ_BUILD:-build-fuzz}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

scripts/install-deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVENDREL_FUZZ=ON -DVENDREL_SANITIZE=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j2

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for target in "${targets[@]}"; do
  corpus="$build/fuzz/corpus/$target"
  artifacts="$build/fuzz/artifacts/"
  mkdir -p "$corpus" "$artifacts" "fuzz/corpus/$target"
  options=(-max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048
           -print_final_stats=1 -artifact_prefix="$artifacts$target-")
  if [ -f "fuzz/$target.dict" ]; then
    options+=(-dict="fuzz/$target.dict")
  fi
  echo "== $target: ${seconds}s"
  # shellcheck disable=SC2086
  if ! nice -n 19 "$build/fuzz/$target" "${options[@]}" ${VENDREL_FUZZ_OPTIONS:-} \
      "$corpus" "fuzz/corpus/$target"; then
    echo "== $target: FAILED (see $artifacts)"
    status=1
  fi
done
exit $status
