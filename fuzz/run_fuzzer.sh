#!/bin/sh
# Builds the fuzzers with clang and runs one from its committed corpus for a
# bounded time.
#   sh fuzz/run_fuzzer.sh TARGET [build-dir] [seconds] [libFuzzer option...]
# TARGET: uvc_descriptors (USB descriptors) or settings_file (vidorra-ctl load).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: run_fuzzer.sh uvc_descriptors|settings_file [build-dir] [seconds]}
build=${2:-/tmp/vidorra-fuzz}
seconds=${3:-60}
[ $# -gt 3 ] && shift 3 || set --
case $target in
    uvc_descriptors) corpus=descriptors; max_len=4096 ;;
    settings_file) corpus=settings; max_len=8192 ;;
    *) echo "run_fuzzer.sh: unknown target $target" >&2; exit 2 ;;
esac

if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    if [ "$(id -u)" = 0 ]; then
        bash "$here/../tests/apt-install.sh" --no-install-recommends clang libclang-rt-14-dev
    else
        echo "The fuzzer needs clang and libclang-rt-14-dev: sudo apt-get install clang libclang-rt-14-dev" >&2
        exit 1
    fi
fi

generator=Ninja
command -v ninja >/dev/null 2>&1 || generator="Unix Makefiles"
cmake -S "$here" -B "$build" -G "$generator" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${target}_fuzzer"

# New inputs go to the build tree's corpus; the committed seeds stay as they are.
mkdir -p "$build/corpus/$corpus" "$build/artifacts/$corpus"
exec "$build/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$corpus/" -max_len="$max_len" "$@" "$build/corpus/$corpus" "$here/corpus/$corpus"
