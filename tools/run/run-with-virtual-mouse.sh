#!/bin/sh
# Runs the program against a virtual mouse: starts vela-virtual-mouse, points
# the program at it with VELA_VIRTUAL_MOUSE and stops the mouse afterwards.
#   tools/run/run-with-virtual-mouse.sh [BIN_DIR] [program arguments...]
# The mouse keeps its state (slot images, active slot) in
# $XDG_STATE_HOME/vela-pro/virtual-mouse (default ~/.local/state/...); its
# socket lives in $XDG_RUNTIME_DIR, or in /tmp/vela-pro-<uid> (mode 0700).
set -eu

bin=${1:-build/bin}
[ $# -gt 0 ] && shift

state_dir=${XDG_STATE_HOME:-$HOME/.local/state}/vela-pro
mkdir -p "$state_dir"

runtime=${XDG_RUNTIME_DIR:-}
if [ -z "$runtime" ] || [ ! -d "$runtime" ] || [ ! -O "$runtime" ]; then
  runtime=/tmp/vela-pro-$(id -u)
  mkdir -p -m 0700 "$runtime"
  # Never trust a folder someone else made or opened up.
  if [ ! -O "$runtime" ] || [ -L "$runtime" ]; then
    echo "run-with-virtual-mouse: $runtime is not ours" >&2
    exit 1
  fi
  chmod 0700 "$runtime"
fi
socket=$runtime/vela-virtual-mouse.sock

ready=$(mktemp "${TMPDIR:-/tmp}/vela-mouse-ready.XXXXXX")
"$bin/vela-virtual-mouse" serve --socket "$socket" --state "$state_dir/virtual-mouse" >"$ready" &
mouse=$!
stop_mouse() {
  kill "$mouse" 2>/dev/null || true
  wait "$mouse" 2>/dev/null || true
  rm -f "$ready"
}
trap stop_mouse EXIT
trap 'exit 130' INT TERM

# The mouse prints "ready" once it accepts connections; give it five seconds.
tries=0
until grep -q '^ready' "$ready" 2>/dev/null; do
  if ! kill -0 "$mouse" 2>/dev/null || [ $tries -ge 100 ]; then
    echo "run-with-virtual-mouse: the virtual mouse did not start" >&2
    exit 1
  fi
  tries=$((tries + 1))
  sleep 0.05
done

echo "virtual mouse on $socket (state in $state_dir/virtual-mouse)"
status=0
VELA_VIRTUAL_MOUSE=$socket "$bin/vela-pro-software" "$@" || status=$?
exit $status
