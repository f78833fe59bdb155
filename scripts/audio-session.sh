#!/usr/bin/env bash
# A private PipeWire session with a null sink, so that tests play real audio without a sound card,
# and a second sink, "vocalix-fast", that takes audio as fast as it comes (PipeWire's freewheeling
# group) for tests that play hours of speech; a test chooses it with PULSE_SINK=vocalix-fast.
#   source scripts/audio-session.sh start   -> exports XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS,
#                                              VOCALIX_AUDIO_SESSION=up (or =broken)
#   scripts/audio-session.sh stop           -> stops only the processes started here
#   scripts/audio-session.sh config DIR     -> only writes the configuration into DIR, for a test
#                                              that runs (and stops) a session of its own
# Started processes are remembered in $VOCALIX_AUDIO_DIR/pids.
#
# Nothing here needs systemd or logind (containers, chroots, CI): the sink is PipeWire's own
# null sink from a private configuration, and the session manager runs without its Bluetooth
# part, whose logind monitor makes it exit where there is no logind.
audio_write_config() {
  local conf="$1"
  mkdir -p "$conf/pipewire/pipewire.conf.d" "$conf/wireplumber"
  cat >"$conf/pipewire/pipewire.conf.d/90-vocalix-null-sink.conf" <<'CONF'
context.objects = [
  { factory = adapter
    args = {
      factory.name     = support.null-audio-sink
      node.name        = vocalix-null
      node.description = "Vocalix test sink"
      media.class      = Audio/Sink
      audio.position   = [ FL FR ]
      priority.session = 2000
    }
  }
  { factory = adapter
    args = {
      factory.name     = support.null-audio-sink
      node.name        = vocalix-fast
      node.description = "Vocalix fast test sink"
      media.class      = Audio/Sink
      audio.position   = [ FL FR ]
      priority.session = 100
      node.group       = pipewire.freewheel
      # large periods: freewheeling costs the server a cycle per period
      node.force-quantum = 8192
    }
  }
]
CONF
  grep -v 'bluetooth.lua' /usr/share/wireplumber/wireplumber.conf >"$conf/wireplumber/wireplumber.conf"
}

audio_start() {
  export VOCALIX_AUDIO_DIR
  VOCALIX_AUDIO_DIR=$(mktemp -d /tmp/vocalix-audio.XXXXXX)
  chmod 700 "$VOCALIX_AUDIO_DIR"
  export XDG_RUNTIME_DIR="$VOCALIX_AUDIO_DIR"
  local log="$VOCALIX_AUDIO_DIR/log" conf="$VOCALIX_AUDIO_DIR/config"
  audio_write_config "$conf"
  dbus-daemon --session --fork --address="unix:path=$VOCALIX_AUDIO_DIR/bus" \
    --print-pid=3 3>"$VOCALIX_AUDIO_DIR/dbus.pid" >>"$log" 2>&1
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$VOCALIX_AUDIO_DIR/bus"
  cat "$VOCALIX_AUDIO_DIR/dbus.pid" >>"$VOCALIX_AUDIO_DIR/pids"
  for prog in pipewire wireplumber pipewire-pulse; do
    XDG_CONFIG_HOME="$conf" "$prog" >>"$log" 2>&1 &
    echo $! >>"$VOCALIX_AUDIO_DIR/pids"
    sleep 0.3
  done
  for _ in $(seq 1 100); do
    if [ "$(pactl get-default-sink 2>/dev/null)" = "vocalix-null" ]; then
      export VOCALIX_AUDIO_SESSION=up
      echo "audio: PipeWire null sink ready ($XDG_RUNTIME_DIR)"
      return 0
    fi
    sleep 0.1
  done
  # The tests that need audio fail (not skip) when the session was started but is broken.
  export VOCALIX_AUDIO_SESSION=broken
  echo "audio: the PipeWire null sink did not come up; log follows" >&2
  cat "$log" >&2
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
  config) audio_write_config "$2" ;;
esac
