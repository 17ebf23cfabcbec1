#!/usr/bin/env bash
# The Debian packages on a clean Debian 12 system, as an operator meets them: a minimal root
# (debootstrap from Debian's registry) gets both packages with apt, Depends resolved from
# nothing; the service runs there without systemd and the terminal's screenshot session talks to
# it; the root then boots under systemd-nspawn (systemd as its init, loopback only), where the
# unit was enabled at install and starts sandboxed, its log is rotated and reopened, an upgrade
# to a higher revision restarts it, and remove then purge leave nothing of ours but the
# terminal user's home files.
#   tests/package_clean_system.sh BUILD_DIR VERSION
# Needs root. The minimal root and apt's downloads are cached in $IPO_PACKAGE_CACHE
# (default /var/cache/ipo-package-test), outside the repository: the first run fetches them.
set -euo pipefail
build=$1
version=$2
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "the clean-system package test needs root"
for tool in debootstrap systemd-nspawn nsenter flock; do
  command -v "$tool" >/dev/null || skip "no $tool (scripts/install-deps installs it)"
done
start=$SECONDS
cache=${IPO_PACKAGE_CACHE:-/var/cache/ipo-package-test}
mkdir -p "$cache/archives/partial"
work=$(mktemp -d /var/tmp/ipo-clean-system.XXXXXX)
root=$work/root
booted=""
cleanup() {
  if [ -n "$booted" ]; then
    kill -TERM "$booted" 2>/dev/null || true
    wait "$booted" 2>/dev/null || true
  fi
  echo "stopped after $((SECONDS - start)) s"
  rm -rf "$work"
}
trap cleanup EXIT

# The cached minimal root: made once (a few minutes), copied for every run (seconds).
(
  flock 9
  if [ ! -e "$cache/bookworm/etc/debian_version" ]; then
    echo "making the cached minimal Debian 12 root in $cache/bookworm (first run only)"
    rm -rf "$cache/bookworm.new"
    # Debian's registry as this machine's apt reaches it (its first source).
    mirror=$(grep -h -m1 -oE '^(URIs: |deb )[^ ]+' /etc/apt/sources.list.d/*.sources \
               /etc/apt/sources.list 2>/dev/null | head -1 | sed -E 's/^(URIs: |deb )//')
    [ -n "$mirror" ] || { echo "no Debian source in this machine's apt settings" >&2; exit 1; }
    debootstrap --variant=minbase --include=systemd-sysv --cache-dir="$cache/archives" \
      bookworm "$cache/bookworm.new" "$mirror" > "$cache/debootstrap.log" 2>&1 ||
      { tail -20 "$cache/debootstrap.log" >&2; exit 1; }
    mv "$cache/bookworm.new" "$cache/bookworm"
  fi
) 9> "$cache/lock" || fail "debootstrap could not make the minimal root"
cp -a "$cache/bookworm" "$root"
cp "$(dirname "$0")/../scripts/with-window-manager" "$root/"
echo "minimal root ready after $((SECONDS - start)) s"

# Revision 1 to install, and the same build as revision 2 to upgrade to.
for revision in 1 2; do
  (cd "$build" && cpack -G DEB -D CPACK_DEBIAN_PACKAGE_RELEASE=$revision -B "$work/r$revision") \
    > "$work/cpack.out" 2>&1 || { cat "$work/cpack.out" >&2; fail "cpack revision $revision"; }
  mkdir -p "$root/packages/r$revision"
  cp "$work/r$revision"/ipo-*_"$version-$revision"_*.deb "$root/packages/r$revision/"
done

# Runs a shell script in the root: not booted (as in a chroot or an image build), or inside the
# booted system. Its output goes to $work/step.out and is shown when it fails.
in_root() {
  systemd-nspawn -q -D "$root" --register=no --keep-unit \
    --bind="$cache/archives:/var/cache/apt/archives" -E DEBIAN_FRONTEND=noninteractive "$@" \
    /bin/bash -xeuo pipefail -c "$(cat)" > "$work/step.out" 2>&1 ||
    { cat "$work/step.out" >&2; return 1; }
}
in_booted() {
  nsenter -t "$(pgrep -P "$booted" -x systemd)" -a env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive /bin/bash -xeuo pipefail -c "$(cat)" \
    > "$work/step.out" 2>&1 || { cat "$work/step.out" >&2; return 1; }
}

# --- install with apt into the root, systemd not running
in_root <<'EOF' || fail "apt could not install the packages on a clean system"
apt-get update -qq
# A scratch system: dpkg need not sync every file it unpacks.
echo 'DPkg::Options { "--force-unsafe-io"; };' > /etc/apt/apt.conf.d/90unsafe-io
apt-get install -y -q /packages/r1/ipo-service_*.deb /packages/r1/ipo-terminal_*.deb
# What the screenshot session needs besides the terminal: a display, a window manager (the
# session acts through the X server as a person does) and ImageMagick's import.
apt-get install -y -q --no-install-recommends xvfb xauth openbox x11-utils imagemagick
useradd --create-home trader
EOF
in_root --private-network <<'EOF' || fail "the installed packages misbehave without systemd"
getent passwd ipo-service | grep -q ':/var/lib/ipo-service:'
[ "$(stat -c '%a %U' /var/lib/ipo-service /var/log/ipo-service | sort -u)" = "700 ipo-service" ]
[ -L /etc/systemd/system/multi-user.target.wants/ipo-service.service ]  # enabled, no systemd
test -f /usr/share/man/man1/ipo-service.1.gz -a -f /usr/share/man/man1/ipo-terminal.1.gz
# An admin command run from a scratch folder names the configured store and does not create it.
cd /tmp
if runuser -u ipo-service -- ipo-service user add TRADER7 23 --password a-long-secret 2> said; then
  exit 1
fi
grep -q 'no store /var/lib/ipo-service/ipo-service.db' said
[ -z "$(ls /tmp/*.db /var/lib/ipo-service/*.db 2>/dev/null)" ]
# The service started by hand, with the demo data, and the terminal's screenshot session.
runuser -u ipo-service -- ipo-service --config /etc/ipo-service/ipo-service.conf --seed-demo \
  > service.out 2>&1 &
service=$!
for _ in $(seq 100); do grep -q 'listening on' service.out && break; sleep 0.1; done
grep -q 'listening on 127.0.0.1:8450' service.out
runuser -u trader -- env HOME=/home/trader xvfb-run -a -s "-screen 0 1280x1024x24" \
  /with-window-manager \
  ipo-terminal --service 127.0.0.1:8450 --password first-listing --screenshots /home/trader/shots
[ "$(ls /home/trader/shots | wc -l)" -eq 5 ]
kill -TERM "$service"
wait "$service" || true  # runuser ends with the signal
grep -q ' access 127.0.0.1 ' /var/log/ipo-service/ipo-service.log
EOF
echo "installed and run without systemd after $((SECONDS - start)) s"

# --- boot the root: systemd starts the unit it enabled at install
systemd-nspawn -q -D "$root" -b --private-network --register=no --keep-unit --console=passive \
  > "$work/boot.out" 2>&1 &
booted=$!
state=""
for _ in $(seq 600); do
  leader=$(pgrep -P "$booted" -x systemd || true)
  [ -n "$leader" ] && state=$(nsenter -t "$leader" -a systemctl is-system-running 2>/dev/null || true)
  case "$state" in running | degraded) break ;; esac
  sleep 0.1
done
# "degraded" (a unit of the base system failed in the container) still lets ours be checked.
case "$state" in
  running | degraded) ;;
  *) cat "$work/boot.out" >&2; fail "the root did not boot: ${state:-no systemd}" ;;
esac
in_booted <<'EOF' || fail "the booted system does not run the service as it should"
for _ in $(seq 100); do systemctl is-active --quiet ipo-service && break; sleep 0.1; done
systemctl is-active ipo-service
systemd-analyze verify ipo-service.service
score=$(systemd-analyze security ipo-service.service | sed -n 's/.*exposure level for ipo-service.service: \([0-9.]*\).*/\1/p')
echo "systemd-analyze security: $score"
awk -v score="$score" 'BEGIN { exit !(score != "" && score <= 3.0) }'
# One request over loopback (bash's /dev/tcp: a minimal system has no HTTP client).
health() {
  exec 3<>/dev/tcp/127.0.0.1/8450
  printf 'GET /health HTTP/1.0\r\n\r\n' >&3
  grep -q '"status":"ok"' <&3
  exec 3<&-
}
for _ in $(seq 100); do health 2>/dev/null && break; sleep 0.1; done
health
test -s /var/lib/ipo-service/ipo-service.db
# Rotation: the old lines move to .1, the service reopens the log on SIGHUP and goes on there.
logrotate -f /etc/logrotate.d/ipo-service
grep -q 'GET /health' /var/log/ipo-service/ipo-service.log.1
health
for _ in $(seq 50); do grep -q 'GET /health' /var/log/ipo-service/ipo-service.log && break; sleep 0.1; done
grep -q 'GET /health' /var/log/ipo-service/ipo-service.log
# The operator's command from any folder changes the configured store and says so; run as
# root on the service's store, it is refused (its files would be root's).
cd /
if ipo-service user add TRADER7 23 --password a-long-secret 2> said; then exit 1; fi
grep -q 'belongs to ipo-service: run the command as that user' said
echo a-long-secret | runuser -u ipo-service -- ipo-service user add TRADER7 23 > said
grep -qx 'user TRADER7 added (store /var/lib/ipo-service/ipo-service.db)' said
systemctl show -p MainPID --value ipo-service > /tmp/pid-before
EOF
grep '^systemd-analyze security' "$work/step.out"
echo "booted and served after $((SECONDS - start)) s"

in_booted <<'EOF' || fail "the upgrade did not restart the service"
apt-get install -y -q /packages/r2/ipo-service_*.deb /packages/r2/ipo-terminal_*.deb
[ "$(dpkg-query -W -f '${Version}' ipo-service)" = "$(basename /packages/r2/ipo-service_*.deb | cut -d_ -f2)" ]
systemctl is-active ipo-service
[ "$(systemctl show -p MainPID --value ipo-service)" != "$(cat /tmp/pid-before)" ]
EOF
in_booted <<'EOF' || fail "remove or purge left something behind"
apt-get remove -y -q ipo-service ipo-terminal
[ "$(systemctl is-active ipo-service)" = inactive ]
test -s /var/lib/ipo-service/ipo-service.db  # remove keeps the store
apt-get purge -y -q ipo-service  # the terminal has no conffiles: removing it purged it
[ -z "$(getent passwd ipo-service)" ]
left=$(find / -xdev \( -path /home -o -path /packages -o -path /var/cache/apt/archives \) -prune -o \
  \( -iname '*ipo-service*' -o -iname '*ipo-terminal*' -o -name 'QuorIPO*' -o -name 'Corvex*' \) -print)
[ -z "$left" ] || { echo "left behind: $left"; exit 1; }
test -d /home/trader/.local/share/ipo-terminal  # the user's own files stay
EOF
echo "clean-system package test passed in $((SECONDS - start)) s"
