# Sourced by the scripts that run Wine off-screen: a private Xvfb on a display
# number Xvfb picks itself (-displayfd), so runs side by side never collide.
#   start_private_xvfb DIR GEOMETRY [XVFB OPTION...]  exports DISPLAY and sets
#     xvfb_pid; Xvfb's log is DIR/xvfb.log. Fails if the server did not start.
#   stop_private_xvfb  ends that server, if there is one.
xvfb_pid=""

start_private_xvfb() {
  local dir=$1 geometry=$2 display
  shift 2
  exec 8>"$dir/display"
  Xvfb -displayfd 8 -screen 0 "$geometry" -nolisten tcp "$@" >"$dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 8>&-
  for _ in $(seq 1 100); do
    [ -s "$dir/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  display=$(tr -d '[:space:]' <"$dir/display")
  if [ -z "$display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$display"
}

stop_private_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
}
