# Helpers of the packaging tests: each check reports what it expected and the
# test fails at its end when any check failed.
failures=0

check() {
    description=$1
    shift
    if "$@"; then
        printf 'ok   %s\n' "$description"
    else
        printf 'FAIL %s\n' "$description"
        failures=$((failures + 1))
    fi
}

same_bytes() {
    cmp -s "$1" "$2"
}

finish() {
    [ "$failures" -eq 0 ] || { printf '%s check(s) failed\n' "$failures"; exit 1; }
}
