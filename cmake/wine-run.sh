#!/bin/sh
# Runs a Windows program under Wine for ctest: wine-run.sh WINE PROGRAM [ARGUMENTS...].
# Wine's own error messages are kept aside and, when the program fails, printed with its exit
# status, so that a failure always shows its cause (a crash, a DLL that did not load, a Wine
# server that could not be reached) even when the program itself printed nothing.
wine=$1
shift
messages=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 125
trap 'rm -f "$messages"' EXIT
WINEDEBUG=-all,err+all "$wine" "$@" 2>"$messages"
status=$?
if [ "$status" -ne 0 ]; then
    cat "$messages" >&2
    echo "wine-run: $1 ended with exit status $status under $wine" >&2
fi
exit "$status"
