#!/usr/bin/env bash
# Configures and builds targets quietly: one progress line, the compiler's output only when
# the build fails (the whole log stays in <build folder>/build.log).
#   scripts/build.sh <build folder> <target>...
set -euo pipefail
build=${1:?usage: build.sh <build folder> <target>...}
shift
mkdir -p "$build"
log="$build/build.log"
start=$SECONDS
if ! cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi

# Ninja's "[n/total]" lines become one line that counts up on a terminal.
progress() {
  local line
  while IFS= read -r line; do
    if [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]] && [ -t 1 ]; then
      printf '\r  compiling %s of %s' "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
    fi
  done
  if [ -t 1 ]; then printf '\r\033[K'; fi
}

set +e
cmake --build "$build" --target "$@" 2>&1 | tee -a "$log" | progress
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
  grep -E "error|FAILED" -A5 "$log" | head -60 >&2
  exit "$status"
fi
echo "  built in $((SECONDS - start)) s (log: $log)"
