# Sourced by the scripts that run Windows programs: a virtual display of
# their own when none is set, a sound server of their own whose only device
# plays into nothing in real time (sounds take as long as on a player's
# machine), and a throw-away Wine prefix. Call `wine_env_start` once and
# `wine_env_stop` on exit.
wine_env_pids=()
wine_env_start() {
  export WINEDEBUG=-all
  # Sounds go through PulseAudio only: without it Wine has no sound device.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
  if [ -z "${PULSE_SERVER:-}" ] && command -v pulseaudio >/dev/null; then
    wine_env_pulse=$(mktemp -d /tmp/vorbix-pulse.XXXXXX)
    HOME=$wine_env_pulse PULSE_RUNTIME_PATH=$wine_env_pulse/run PULSE_STATE_PATH=$wine_env_pulse/state \
      pulseaudio --daemonize=no --exit-idle-time=-1 -n --load=module-null-sink \
      --load="module-native-protocol-unix socket=$wine_env_pulse/native auth-anonymous=1" >/dev/null 2>&1 &
    wine_env_pulse_pid=$!
    export PULSE_SERVER=unix:$wine_env_pulse/native
    for _ in $(seq 50); do [ -S "$wine_env_pulse/native" ] && break; sleep 0.1; done
  fi
  if [ -z "${DISPLAY:-}" ]; then
    local d
    for d in $(seq 90 199); do
      if [ ! -e "/tmp/.X11-unix/X$d" ] && [ ! -e "/tmp/.X$d-lock" ]; then break; fi
    done
    Xvfb ":$d" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    wine_env_pids+=($!)
    export DISPLAY=":$d"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done
  fi
  if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX=$(mktemp -d /tmp/vorbix-wine.XXXXXX)
    export WINEPREFIX
    wine_env_own_prefix=1
  fi
  wineboot -i >/dev/null 2>&1 || true
  # Xvfb runs no window manager: Wine would wait 2 s for one each time a
  # window of a managed kind closes or hides. Unmanaged windows do not wait.
  # The setting takes effect with the next Wine server.
  if [ ${#wine_env_pids[@]} -gt 0 ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wineserver -w
  fi
}
wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  local p
  for p in "${wine_env_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if [ -n "${wine_env_pulse_pid:-}" ]; then
    kill "$wine_env_pulse_pid" 2>/dev/null || true
    wait "$wine_env_pulse_pid" 2>/dev/null || true
    rm -rf "$wine_env_pulse"
    unset PULSE_SERVER wine_env_pulse_pid
  fi
  if [ -n "${wine_env_own_prefix:-}" ]; then rm -rf "$WINEPREFIX"; fi
}
