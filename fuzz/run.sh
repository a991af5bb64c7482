#!/usr/bin/env bash
# Builds the fuzz targets of the version reader and the catalogue (clang-14, libFuzzer, ASan, UBSan) and runs each
# for a fixed time, starting from inputs written in code, so that a slow target costs no more
# than a fast one. Exits non-zero when a target crashes, reads out of bounds, hits undefined
# behaviour or hangs on an input.
# Needs the Debian packages clang-14 and libclang-rt-14-dev.
# Usage: fuzz/run.sh [BUILD_DIR]; QUBRIX_FUZZ_SECONDS sets the time per target (60).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-fuzz}
seconds=${QUBRIX_FUZZ_SECONDS:-60}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

"$build/make_corpus" "$build/starting-inputs"
for target in record elf pe catalogue; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    echo "== fuzz_$target: $seconds s"
    # A slow input counts as a hang: the reader must never loop.
    "$build/fuzz_$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
        -artifact_prefix="$build/fuzz_$target-" "$corpus" "$build/starting-inputs/$target"
done
echo "== all fuzz targets ran clean"
