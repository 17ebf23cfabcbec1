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

echo "== the order book of 100,000 orders through the 1 Gbit/s link =="
on_desk "$bin/order_book_path_bench" --benchmark_filter='/100000/' | tee "$work/path"
grep -q "orderbook_path_100k_total" "$work/path"
