#!/bin/sh
# Runs a Windows program under Wine for ctest: wine-run.sh WINE PROGRAM [ARGUMENTS...].
# Wine's own error messages are kept aside and, when the program fails, printed with its exit
# status, so that a failure always shows its cause (a crash, a DLL that did not load, a Wine
# server that went away) even when the program itself printed nothing. A Wine client whose
# server goes away as it starts may also end with status 0 without running the program, so a
# test case (--gtest_filter) that printed no result fails.
# IPO_WINE_ERRORS=fail also fails a run in which Wine reported any error (see below).
wine=$1
shift
messages=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 125
output=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 125
trap 'rm -f "$messages" "$output"' EXIT
WINEDEBUG=-all,err+all "$wine" "$@" >"$output" 2>"$messages"
status=$?
cat "$output"
case " $* " in
*" --gtest_filter="*)
    if [ "$status" -eq 0 ] && ! grep -q '^\[  PASSED  \] 1 test' "$output"; then
        echo "wine-run: $1 printed no test result" >&2
        status=1
    fi
    ;;
esac
# With IPO_WINE_ERRORS=fail, any error Wine reports (a failed call, an assertion in a control,
# a driver refusing a request) fails the run, even when the program ended well.
if [ "$IPO_WINE_ERRORS" = fail ] && [ "$status" -eq 0 ] && grep -q ':err:' "$messages"; then
    echo "wine-run: Wine reported errors while $1 ran:" >&2
    status=1
fi
if [ "$status" -ne 0 ]; then
    cat "$messages" >&2
    echo "wine-run: $1 ended with exit status $status under $wine" >&2
fi
exit "$status"
