#!/usr/bin/env bash
# Crash: the service is killed with SIGKILL in the middle of the load and restarted; every order
# that was answered as accepted must still be there, and the service must serve again.
# Usage: service_crash.sh <bin folder>
set -euo pipefail
source "$(dirname "$0")/service_script_lib.sh" "$1"

start_service 0
"$bin/ipo_load_driver" prepare --db "$work/ipo.db"
"$bin/ipo_load_driver" run --port "$port" --clients 8 --orders 250 \
  --accepted "$work/accepted.txt" > "$work/load.out" &
driver=$!
for _ in $(seq 1 1000); do
  [ "$(wc -l 2>/dev/null < "$work/accepted.txt" || echo 0)" -ge 300 ] && break
  sleep 0.01
done
kill -KILL "$service"
wait "$service" || true
service=""
echo "service killed after $(wc -l < "$work/accepted.txt") accepted orders"
wait "$driver"
cat "$work/load.out"

start_service "$port"
"$bin/ipo_load_driver" verify --db "$work/ipo.db" --accepted "$work/accepted.txt"
"$bin/ipo_load_driver" run --port "$port" --clients 2 --orders 20 --batch 1 \
  --accepted "$work/after.txt" --expect-all
stop_service
"$bin/ipo_load_driver" verify --db "$work/ipo.db" --accepted "$work/after.txt" --expect 40
