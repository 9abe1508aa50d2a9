# Sourced by demo.sh and screenshots.sh: the maker's server stand-in and the launchd stand-in
# with Vendrel.app installed on the volume that VENDREL_ROOT names, and their shutdown.
#   start_server <served folder> <posts log>   exports VENDREL_SERVER_URL
#   install_app_and_launchd <build folder>     installs Vendrel.app, starts the stand-in
#   stop_services                              (set as the EXIT trap by start_server)

server_pid="" launchd_pid="" server_dir=""

stop_services() {
  for pid in $launchd_pid $server_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [ -n "$server_dir" ] && rm -rf "$server_dir"
  return 0
}

start_server() {
  local build=$1 served=$2 posts=$3
  server_dir=$(mktemp -d)
  "$build/tools/server/vendrel-server" --root "$served" --port-file "$server_dir/port" \
      --log "$posts" >"$server_dir/output" 2>&1 &
  server_pid=$!
  trap stop_services EXIT
  for _ in $(seq 200); do [ -s "$server_dir/port" ] && break; sleep 0.05; done
  [ -s "$server_dir/port" ] || { cat "$server_dir/output" >&2; exit 1; }
  export VENDREL_SERVER_URL="http://127.0.0.1:$(cat "$server_dir/port")"
}

install_app_and_launchd() {
  local build=$1
  scripts/install-app.sh "$VENDREL_ROOT" "$build"
  mkdir -p "$VENDREL_ROOT/private/var/log"
  export VENDREL_LOG_FILE="$VENDREL_ROOT/private/var/log/vendrel.log"
  "$build/tools/launchd/vendrel-launchd" 2>>"$VENDREL_ROOT/private/var/log/vendrel-launchd.log" &
  launchd_pid=$!
  for _ in $(seq 50); do "$build/tools/launchd/vendrel-launchctl" list >/dev/null 2>&1 && break; sleep 0.1; done
}

# Qt wants a private runtime folder; a session without one (a container, ssh) gets its own.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
fi
