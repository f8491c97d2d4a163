#!/bin/sh
# Builds the descriptor parser's fuzzer with clang and runs it from the
# committed corpus for a bounded time.
#   sh fuzz/run_fuzzer.sh [build-dir] [seconds]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-/tmp/vidorra-fuzz}
seconds=${2:-60}

if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    if [ "$(id -u)" = 0 ]; then
        apt-get install -y --no-install-recommends clang libclang-rt-14-dev
    else
        echo "The fuzzer needs clang and libclang-rt-14-dev: sudo apt-get install clang libclang-rt-14-dev" >&2
        exit 1
    fi
fi

generator=Ninja
command -v ninja >/dev/null 2>&1 || generator="Unix Makefiles"
cmake -S "$here" -B "$build" -G "$generator" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# New inputs go to the build tree's corpus; the committed seeds stay as they are.
mkdir -p "$build/corpus" "$build/artifacts"
exec "$build/uvc_descriptors_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" -max_len=4096 "$build/corpus" "$here/corpus"
