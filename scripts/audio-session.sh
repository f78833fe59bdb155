#!/usr/bin/env bash
# A private PipeWire session with a null sink, so that tests play real audio without a sound card.
#   source scripts/audio-session.sh start   -> exports XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS
#   scripts/audio-session.sh stop           -> stops only the processes started here
# Started processes are remembered in $VOCALIX_AUDIO_DIR/pids.
audio_start() {
  export VOCALIX_AUDIO_DIR
  VOCALIX_AUDIO_DIR=$(mktemp -d /tmp/vocalix-audio.XXXXXX)
  chmod 700 "$VOCALIX_AUDIO_DIR"
  export XDG_RUNTIME_DIR="$VOCALIX_AUDIO_DIR"
  local log="$VOCALIX_AUDIO_DIR/log"
  dbus-daemon --session --fork --address="unix:path=$VOCALIX_AUDIO_DIR/bus" \
    --print-pid=3 3>"$VOCALIX_AUDIO_DIR/dbus.pid" >>"$log" 2>&1
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$VOCALIX_AUDIO_DIR/bus"
  cat "$VOCALIX_AUDIO_DIR/dbus.pid" >>"$VOCALIX_AUDIO_DIR/pids"
  for prog in pipewire wireplumber pipewire-pulse; do
    "$prog" >>"$log" 2>&1 &
    echo $! >>"$VOCALIX_AUDIO_DIR/pids"
    sleep 0.3
  done
  for _ in $(seq 1 100); do
    if [ "$(pactl get-default-sink 2>/dev/null)" = "auto_null" ]; then
      echo "audio: PipeWire null sink ready ($XDG_RUNTIME_DIR)"
      return 0
    fi
    sleep 0.1
  done
  echo "audio: the PipeWire null sink did not come up; speech tests will see no audio device" >&2
  return 0
}

audio_stop() {
  local dir="${VOCALIX_AUDIO_DIR:-}"
  [ -n "$dir" ] && [ -f "$dir/pids" ] || return 0
  while read -r pid; do kill "$pid" 2>/dev/null || true; done < "$dir/pids"
  sleep 0.2
  rm -rf "$dir"
}

case "${1:-}" in
  start) audio_start ;;
  stop) audio_stop ;;
esac
