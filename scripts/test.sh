#!/usr/bin/env bash
# Sets up this machine and runs every test of Vorbix:
#   1. native unit tests of the portable core, built with ASan and UBSan;
#   2. the libFuzzer targets, for a bounded time each;
#   3. the Windows cross build and the end-to-end tests of the real .exe
#      files under Wine, on a virtual display of their own.
# Ends with one summary line "N passed, N failed"; exits non-zero on failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || { echo "setup failed"; exit 1; }
jobs=$(nproc)
logs=$(mktemp -d /tmp/vorbix-test-logs.XXXXXX)
passed=0
failed=0
status=0

# Adds the counts of one ctest run to the totals.
count_ctest() {
  local log=$1 line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

stage() {
  local name=$1
  shift
  echo "== $name"
  if ! "$@"; then
    echo "== $name: FAILED"
    status=1
    return 1
  fi
}

build() {  # build <dir> <cmake args...>
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >"$logs/$(basename "$dir")-configure.log" 2>&1 &&
    cmake --build "$dir" -j "$jobs" 2>&1 | tail -n 3
  return "${PIPESTATUS[0]}"
}

run_ctest() {  # run_ctest <dir> <log name> [ctest args...]
  local dir=$1 name=$2 rc
  shift 2
  ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$logs/$name.log" | grep -vE '^ *([0-9]+/[0-9]+ Test +#[0-9]+: .* Passed|Start +[0-9]+: )'
  rc=${PIPESTATUS[0]}  # ctest's own status, before count_ctest runs commands of its own
  count_ctest "$logs/$name.log"
  return "$rc"
}

# 1. Native unit tests under the sanitizers.
if stage "native build (ASan, UBSan)" build build/native -DVORBIX_SANITIZE=ON; then
  stage "native tests" run_ctest build/native native -j "$jobs"
else
  failed=$((failed + 1))
fi

# 2. Fuzzers (clang, libFuzzer), 60 s each.
if stage "fuzz build (clang)" build build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
     -DVORBIX_SANITIZE=ON -DVORBIX_FUZZ=ON; then
  stage "fuzzers" run_ctest build/fuzz fuzz -R '^fuzz_'
else
  failed=$((failed + 1))
fi

# 3. Windows build and the end-to-end tests under Wine.
if stage "windows build (MinGW-w64)" build build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake; then
  # shellcheck source=scripts/wine-env.sh
  source scripts/wine-env.sh
  unset DISPLAY
  wine_env_start
  stage "end-to-end tests under Wine" run_ctest build/windows windows
  wine_env_stop
else
  failed=$((failed + 1))
fi

rm -rf "$logs"
[ "$failed" -eq 0 ] || status=1
echo "$passed passed, $failed failed"
exit "$status"
