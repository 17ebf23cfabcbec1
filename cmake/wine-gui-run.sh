#!/bin/sh
# Runs a Windows program that opens windows under Wine, on the present display, for ctest:
# wine-gui-run.sh WINE PROGRAM [ARGUMENTS...]. Wine's server and background services (the
# service manager that OLE and the shell's dialogs need) are started first, so that their own
# start-up races are not the program's; then any error Wine reports while the program runs fails
# it (cmake/wine-run.sh with IPO_WINE_ERRORS=fail).
wine=$1
WINEDEBUG=-all "$wine" wineboot </dev/null >/dev/null 2>&1
IPO_WINE_ERRORS=fail exec sh "$(dirname "$0")/wine-run.sh" "$@"
