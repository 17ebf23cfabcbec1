#!/usr/bin/env bash
# The Debian packages as an integrator meets them: cpack makes them from the build folder, lintian
# finds no error in them, and the tree they install (unpacked into a scratch root) works on its
# own: both programs answer --version and name an unknown flag, an installed service serves on
# a free port, and the installed terminal's screenshot session runs against it with the sample
# terms file shown by the bid dialog's link.
#   tests/package_install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
# The service helpers start $bin/ipo-service: the installed one.
source "$(dirname "$0")/service_script_lib.sh" ""
root=$work/root
bin=$root/usr/bin
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/packages" > "$work/cpack.out" 2>&1) ||
  { cat "$work/cpack.out" >&2; fail "cpack could not make the packages"; }
packages=("$work"/packages/ipo-terminal_"$version"-*_*.deb "$work"/packages/ipo-service_"$version"-*_*.deb)
for package in "${packages[@]}"; do
  [ -f "$package" ] || fail "no package $package"
  dpkg -x "$package" "$root"
done
lintian --fail-on error "${packages[@]}" > "$work/lintian.out" 2>&1 ||
  { cat "$work/lintian.out" >&2; fail "lintian reports errors"; }
grep -v 'root privileges' "$work/lintian.out" || true  # its warnings, for the record

# Every installed binary and library finds its libraries relative to itself.
while IFS= read -r file; do
  if runpath=$(readelf -d "$file" 2>/dev/null | grep -E 'RUNPATH|RPATH'); then
    case "$runpath" in *'[$ORIGIN'*) ;; *) fail "$file has an absolute library path: $runpath" ;; esac
  fi
done < <(find "$root" -type f \( -name '*.so' -o -perm -u+x \) ! -name '*.sh')

for program in ipo-service ipo-terminal; do
  [ "$("$bin/$program" --version)" = "$program $version" ] || fail "$program --version"
  set +e
  said=$("$bin/$program" --bogus 2>&1)
  status=$?
  set -e
  [ "$status" -eq 2 ] || fail "$program --bogus exited $status"
  [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] || fail "$program --bogus said: $said"
  case "$said" in *--bogus*) ;; *) fail "$program --bogus does not name the flag: $said" ;; esac
done

start_service 0
export XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state XDG_CONFIG_HOME=$work/config
# Under a window manager, as the session's user drives it through the X server.
"$(dirname "$0")/../scripts/gui-session" "$bin/ipo-terminal" --service "127.0.0.1:$port" \
  --password first-listing \
  --screenshots "$work/shots" > "$work/terminal.out" 2>&1 ||
  { cat "$work/terminal.out" >&2; fail "the installed terminal's screenshot session failed"; }
grep -q '^terms: <html>' "$work/terminal.out" || fail "the terms link did not show the sample file"
[ "$(ls "$work/shots" | wc -l)" -eq 5 ] || fail "expected five screenshots"
companion=$(readlink -f "$XDG_DATA_HOME/ipo-terminal/Corvexdll64.so")
[ "$companion" = "$(readlink -f "$root"/usr/lib/*/ipo-terminal/Corvexdll64.so)" ] ||
  fail "the working folder's companion is $companion, not the installed one"
grep -q 'IPO plug-in .* loaded' "$XDG_STATE_HOME/ipo-terminal/terminal.log" ||
  fail "the message log file lacks the plug-in's start"
echo "installed packages work: ${packages[*]##*/}"
