# Starting and stopping ipo-service for the package test. Sourced with the bin folder
# as its argument: sets $bin, a scratch folder $work removed on exit, and, once started,
# $service (its process id) and $port.
bin=$1
work=$(mktemp -d)
service=""
port=""
trap 'stop_service; rm -rf "$work"' EXIT

# start_service <port>: 0 picks a free port. Waits until the service listens. Its access and
# audit lines go to $work/service.log.
start_service() {
  "$bin/ipo-service" --db "$work/ipo.db" --seed-demo --port "$1" --log "$work/service.log" \
    > "$work/service.out" 2>&1 &
  service=$!
  for _ in $(seq 1 500); do
    if grep -q "listening on" "$work/service.out"; then
      port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/service.out")
      return 0
    fi
    sleep 0.01
  done
  echo "ipo-service did not start:" >&2
  cat "$work/service.out" >&2
  return 1
}

stop_service() {
  if [ -n "$service" ]; then
    kill -TERM "$service" 2>/dev/null || true
    wait "$service" || true
    service=""
  fi
}
