#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix on the present display (scripts/gui-session):
# installs silently, checks the installed files, the Start-menu entry and the Add/Remove Programs
# entry, runs the installed terminal's screenshot session against a native ipo-service on
# loopback (when the installer carries the companion and a service is given; its input goes
# through the X server when a native ipo-x-input is given), then uninstalls silently and checks
# that nothing of it is left.
#
#   windows_installer.sh WINE WINESERVER INSTALLER [NATIVE_IPO_SERVICE [NATIVE_IPO_X_INPUT]]
set -uo pipefail
wine=$1 wineserver=$2 installer=$3 native_service=${4:-} native_x_input=${5:-}
# The service's starting and stopping, and a scratch folder $work removed on exit.
. "$(dirname "$0")/service_script_lib.sh" "$(dirname "${native_service:-/nonexistent/x}")"
export WINEPREFIX=$work/prefix WINEDLLOVERRIDES=mscoree,mshtml= WINEDEBUG=-all
trap 'stop_service; "$wineserver" -k 2>/dev/null; rm -rf "$work"' EXIT
failed=0
fail() { echo "windows_installer: $*" >&2; failed=1; }

program_files=$WINEPREFIX/drive_c/Program\ Files/IPO\ Terminal
menu_entry=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/IPO\ Terminal/IPO\ Terminal.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\IPO Terminal'
installed=(bin/ipo-terminal.exe bin/libipofw.dll bin/libipofw_win32.dll lib/ipo-terminal/QuorIPO64.dll
           share/ipo-terminal/IPOTermsAndConditions.html uninstall.exe)

"$wine" wineboot --init </dev/null >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
"$wineserver" -w
"$wine" "$installer" /S </dev/null
"$wineserver" -w
for file in "${installed[@]}"; do
  [ -f "$program_files/$file" ] || fail "not installed: $file"
done
[ -f "$menu_entry" ] || fail "no Start-menu entry"
"$wine" reg query "$uninstall_key" /v QuietUninstallString </dev/null 2>/dev/null |
  grep -q 'uninstall.exe" /S' || fail "no Add/Remove Programs entry"

# The installed terminal, as a trader starts it, in its unattended screenshot session. Any error
# Wine reports while it runs fails the test.
if [ -f "$program_files/lib/ipo-terminal/Corvexdll64.dll" ] && [ -n "$native_service" ]; then
  start_service 0 || exit 1
  IPO_X_INPUT=$native_x_input WINEDEBUG=-all,err+all timeout 180 \
    "$wine" "C:\\Program Files\\IPO Terminal\\bin\\ipo-terminal.exe" \
    --service "127.0.0.1:$port" --password first-listing --screenshots "Z:$work/shots" \
    </dev/null >"$work/terminal.out" 2>"$work/terminal.err"
  status=$?
  cat "$work/terminal.out"
  [ "$status" -eq 0 ] || fail "the installed terminal's screenshot session ended with $status"
  ! grep ':err:' "$work/terminal.err" || fail "Wine reported errors while the terminal ran"
  [ "$(ls "$work/shots"/*.png 2>/dev/null | wc -l)" -eq 5 ] || fail "not five screenshots"
  for _ in $(seq 1 100); do
    grep -q "DELETE /session status=200" "$work/service.log" && break
    sleep 0.05
  done
  grep -q "DELETE /session status=200" "$work/service.log" || fail "no sign-out at exit"
else
  echo "windows_installer: no companion or no native ipo-service: the terminal is not run"
fi

"$wine" "C:\\Program Files\\IPO Terminal\\uninstall.exe" /S </dev/null
"$wineserver" -w
[ ! -e "$program_files" ] || fail "left after uninstalling: $(cd "$program_files" && find . -mindepth 1)"
[ ! -e "$(dirname "$menu_entry")" ] || fail "the Start-menu folder is left"
! "$wine" reg query "$uninstall_key" </dev/null >/dev/null 2>&1 || fail "the uninstall entry is left"
exit "$failed"
