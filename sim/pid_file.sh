# Sourced by the agent scripts: stops the process whose PID a file records
# (by that PID only, politely first) and removes the file's folder.
#
#   stop_recorded PID_FILE STATE_DIR
stop_recorded() {
  local pid_file=$1 state_dir=$2
  if [ -f "$pid_file" ]; then
    local pid
    pid=$(cat "$pid_file")
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    fi
  fi
  rm -rf "$state_dir"
}
