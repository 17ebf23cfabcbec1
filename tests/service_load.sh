#!/usr/bin/env bash
# Load: 8 concurrent clients place 250 orders each through the companion library; every
# accepted order must be in the store and every order and application number unique.
# Usage: service_load.sh <bin folder>
set -euo pipefail
source "$(dirname "$0")/service_script_lib.sh" "$1"

start_service 0
"$bin/ipo_load_driver" prepare --db "$work/ipo.db"
"$bin/ipo_load_driver" run --port "$port" --clients 8 --orders 250 \
  --accepted "$work/accepted.txt" --expect-all
stop_service
"$bin/ipo_load_driver" verify --db "$work/ipo.db" --accepted "$work/accepted.txt" --expect 2000

# The operator's log: an access line and an audit line for each accepted order, and no UPI id.
placed=$(grep -c " audit order=[0-9]* placed " "$work/service.log" || true)
answered=$(grep -c " access 127.0.0.1 POST /ipo/order status=200 .* code=94 result=0 order=[0-9]*$" "$work/service.log" || true)
echo "log: $placed orders placed, $answered order requests answered"
[ "$placed" -eq 2000 ] && [ "$answered" -eq 2000 ]
! grep -q "load.test@upibank" "$work/service.log"
