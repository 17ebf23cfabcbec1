#!/usr/bin/env bash
# Load: 8 concurrent clients place 250 orders each through the companion library; every
# accepted order must be in the store and every order and application number unique.
# Usage: service_load.sh <bin folder>
set -euo pipefail
source "$(dirname "$0")/service_script_lib.sh" "$1"

start_service 0
"$bin/ipo_load_driver" prepare --db "$work/ipo.db"
"$bin/ipo_load_driver" run --url "http://127.0.0.1:$port" --clients 8 --orders 250 \
  --accepted "$work/accepted.txt" --expect-all
stop_service
"$bin/ipo_load_driver" verify --db "$work/ipo.db" --accepted "$work/accepted.txt" --expect 2000
