# One PASS/FAIL line per check, counted; sourced by the VM test's checks and
# by the accelerator test.
PASSED=0
FAILED=0

check() {
    local description=$1
    shift
    if "$@"; then
        PASSED=$((PASSED + 1))
        echo "PASS $description"
    else
        FAILED=$((FAILED + 1))
        echo "FAIL $description"
    fi
}
