#!/usr/bin/env bash
# Two machines on one: ipo-service runs in a network namespace of its own, the trader's side in
# another, joined by a veth pair limited to 1 Gbit/s each way (tc tbf). The service serves HTTPS
# with a certificate signed by a private authority made here; the trader's side trusts only that
# authority. Traffic goes only to the two addresses this script gives the namespaces.
#
#   two_machines.sh BIN_DIR [COMMAND...]
#
# Without a command it runs the trader's scenarios in real windows across the link, then the
# order book of 100,000 orders through it. With one, it runs that command on the trader's side
# with the same environment (e.g. a benchmark of a release build). Needs root; skips (77)
# without it.
set -euo pipefail
bin=$(realpath "$1")
shift
source_dir=$(realpath "$(dirname "$0")/..")
skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ "$(id -u)" = 0 ] || skip "network namespaces need root"

tag=ipo$$
server=${tag}srv
desk=${tag}desk
work=$(mktemp -d /tmp/ipo-two-machines-XXXXXX)
cleanup() {
  ip netns del "$server" 2>/dev/null || true
  ip netns del "$desk" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
ip netns add "$server" 2>/dev/null || skip "no network namespace can be made here"
ip netns add "$desk"

# The two hosts and their link.
server_address=10.213.0.1
desk_address=10.213.0.2
ip link add "${tag}s" netns "$server" type veth peer name "${tag}d" netns "$desk"
ip -n "$server" addr add "$server_address/30" dev "${tag}s"
ip -n "$desk" addr add "$desk_address/30" dev "${tag}d"
link_up() {
  ip -n "$1" link set lo up
  ip -n "$1" link set "$2" up
  tc -n "$1" qdisc add dev "$2" root tbf rate 1gbit burst 512kb latency 20ms
}
link_up "$server" "${tag}s"
link_up "$desk" "${tag}d"

# A private authority, the service's certificate for its address, and an authority that did not
# sign it.
authority() {
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 1 \
    -subj "/CN=$2" -keyout "$work/$1.key" -out "$work/$1.pem" 2>/dev/null
}
authority ca "IPO test authority"
authority stranger "Another authority"
openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj "/CN=$server_address" \
  -keyout "$work/server.key" -out "$work/server.csr" 2>/dev/null
printf 'subjectAltName=IP:%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' \
  "$server_address" >"$work/server.ext"
openssl x509 -req -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
  -CAcreateserial -days 1 -extfile "$work/server.ext" -out "$work/server.pem" 2>/dev/null

export IPO_TEST_SERVICE_NETNS=$server IPO_TEST_SERVICE_HOST=$server_address \
  IPO_TEST_TLS_CERT=$work/server.pem IPO_TEST_TLS_KEY=$work/server.key \
  IPO_TEST_CA_FILE=$work/ca.pem CORVEX_CA_FILE=$work/ca.pem \
  XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state XDG_CONFIG_HOME=$work/config
on_desk() {
  ip netns exec "$desk" "$@"
}

if [ $# -gt 0 ]; then
  on_desk "$@"
  exit
fi

echo "== the trader's scenarios, signed in at https://$server_address across the link =="
on_desk "$source_dir/scripts/gui-session" "$bin/scenarios_wx_test"

echo "== the sign-in dialog: a wrong password is said in it, the right one signs in =="
on_desk "$source_dir/scripts/gui-session" "$bin/desktop_terminal_test" \
  --gtest_filter='*SignInDialogShowsARefusalAndTakesAnotherTry'

echo "== the terminal itself, unattended, against a service of this script's own =="
ip netns exec "$server" "$bin/ipo-service" --db "$work/ipo.db" --seed-demo --create \
  --host "$server_address" --port 8450 --tls-cert "$work/server.pem" \
  --tls-key "$work/server.key" --log "$work/access.log" >"$work/service.out" 2>&1 &
service_pid=$!
for _ in $(seq 100); do
  grep -q "listening on" "$work/service.out" && break
  sleep 0.1
done
grep -q "listening on" "$work/service.out"
printf 'first-listing\n' >"$work/password"
chmod 600 "$work/password"
terminal() {
  on_desk "$source_dir/scripts/gui-session" "$bin/ipo-terminal" --user-id INV001 \
    --service "https://$server_address:8450" --password-file "$work/password" \
    --working-dir "$work/terminal" "$@"
}
# Trusting another authority, it refuses the service before sending anything.
if terminal --ca-file "$work/stranger.pem" --screenshots "$work/refused" >"$work/refused.out" 2>&1; then
  echo "FAILED: the terminal used a service whose certificate it should not trust"
  exit 1
fi
grep -q "cannot be trusted" "$work/state/ipo-terminal/terminal.log"
if grep -s "status=" "$work/access.log"; then
  echo "FAILED: a request reached the service although its certificate was not trusted:"
  exit 1
fi
# Trusting the right one, its unattended session signs in, bids, cancels and signs out.
terminal --ca-file "$work/ca.pem" --screenshots "$work/shots"
ls "$work/shots"/*.png >/dev/null
for line in "POST /session status=200" "DELETE /session status=200"; do
  grep -q "$line" "$work/access.log" || { echo "FAILED: no $line in the access log"; exit 1; }
done
kill "$service_pid"
wait "$service_pid" || true

echo "== the order book of 100,000 orders through the 1 Gbit/s link =="
on_desk "$bin/order_book_path_bench" --benchmark_filter='/100000/' | tee "$work/path"
grep -q "orderbook_path_100k_total" "$work/path"
