#!/usr/bin/env bash
# Measures Vorbix against its performance targets and prints the figures:
#   - dispatch throughput of the portable core (native, Google Benchmark);
#   - reaction latency, CPU while searching and while linked to a quiet
#     console, and peak memory of vorbix.exe against the simulated console
#     (Windows build under Wine);
#   - a 50,000-line soak: exact totals and commands, memory growth;
#   - the native vorbix beside the stand-in engine (tools/enginesim): CPU
#     while linked to a quiet game and while kills arrive, and the latency
#     from a kill line printed to the first command at the game's input;
#   - the match history: the file's size for 10,000 maps, how long
#     vorbixstats takes to report them, what queuing a row costs;
#   - following the open-source engine's log (natively and under Wine): CPU
#     while the log is quiet and while kills arrive at a real pace, and the
#     latency from a kill line written to its lines reaching the front-end.
# Builds into build/bench-native and build/bench-win. Exits non-zero when a
# step fails (not when a figure misses its target: read the figures).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
jobs=$(nproc)
soak_lines=${VORBIX_SOAK_LINES:-50000}

echo "== building (Release)"
cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native -j "$jobs" --target vorbix_dispatch_bench vorbix_replay | tail -n 1
cmake -S . -B build/bench-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/bench-win -j "$jobs" --target vorbix vorbix_latency_bench e2e_soak_test vorbix_log_follow_bench |
  tail -n 1

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
echo "== machine"
echo "date:    $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "cpu:     $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "cores:   $(nproc)"
echo "kernel:  $(uname -sr)"
echo "wine:    $(wine --version 2>/dev/null || echo unknown)"
echo "load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"

echo "== dispatch throughput of the core (target >= 1,000,000 lines/s)"
build/bench-native/tests/bench/vorbix_dispatch_bench --benchmark_min_time=2 2>/dev/null |
  grep BM_ | sed -E 's/.*BM_PollAndDispatch\/([a-z_]+).*lines_per_second=([0-9.]+[kM]?)\/s.*/  \1: \2 lines\/s/'

echo "== native vorbix beside the stand-in engine over pipes (latency p99 < 2 ms; CPU near zero)"
cmake --build build/bench-native -j "$jobs" --target vorbix_pipe_bench | tail -n 1
build/bench-native/tests/bench/vorbix_pipe_bench 200 | sed 's/^/  /'

echo "== match history of 10,000 maps (report < 1 s; file < 2 MB; queuing a row < 1 ms)"
cmake --build build/bench-native -j "$jobs" --target vorbix_history_bench vorbixstats | tail -n 1
build/bench-native/tests/bench/vorbix_history_bench 10000 | sed 's/^/  /'

echo "== following the game's log, native (CPU < 0.2 %)"
cmake --build build/bench-native -j "$jobs" --target vorbix_log_follow_bench | tail -n 1
build/bench-native/tests/bench/vorbix_log_follow_bench 20 10 | sed 's/^/  /'

unset DISPLAY
wine_env_start
trap wine_env_stop EXIT
cd build/bench-win/bin
echo "== vorbix.exe under Wine beside the console simulator, frame-paced (60 fps) and instant"
echo "   (targets: paced p50 <= 50 ms, p99 <= 70 ms, console shown and hidden, sounds on and off;"
echo "    instant p99 <= 30 ms at a real pace; CPU < 0.5 % linked, quiet or printing, < 0.2 % searching;"
echo "    clicks while a sound plays or the game stalls < 300 ms; exit < 3 s)"
wine vorbix_latency_bench.exe "${VORBIX_REAL_PACE_KILLS:-80}" 200 | tr -d '\r' | sed 's/^/  /'
echo "== following the game's log under Wine (CPU < 0.2 %)"
wine vorbix_log_follow_bench.exe 20 10 | tr -d '\r' | sed 's/^/  /'
echo "== soak: $soak_lines lines (exact totals, every command, memory growth <= 10 %)"
VORBIX_SOAK_LINES=$soak_lines wine e2e_soak_test.exe | tr -d '\r' |
  grep -E '^soak_|^\[  (PASSED|FAILED)|Failure' | sed 's/^/  /'
