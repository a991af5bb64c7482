#!/usr/bin/env bash
# Builds the fuzz targets of the version reader and the catalogue (clang-14, libFuzzer, ASan, UBSan) and runs each
# for a bounded number of inputs, starting from inputs written in code. Exits non-zero when a target
# crashes, reads out of bounds, hits undefined behaviour or hangs on an input.
# Needs the Debian packages clang-14 and libclang-rt-14-dev.
# Usage: fuzz/run.sh [BUILD_DIR]; QUBRIX_FUZZ_RUNS sets the inputs per target (200000).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-fuzz}
runs=${QUBRIX_FUZZ_RUNS:-200000}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

"$build/make_corpus" "$build/starting-inputs"
for target in record elf pe catalogue; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    # Each catalogue input is written, loaded, saved and loaded again through real files: a
    # tenth of the inputs takes about as long as the others.
    target_runs=$runs
    [ "$target" = catalogue ] && target_runs=$((runs / 10))
    echo "== fuzz_$target: $target_runs runs"
    # A slow input counts as a hang: the reader must never loop.
    "$build/fuzz_$target" -runs="$target_runs" -max_len=8192 -timeout=10 \
        -artifact_prefix="$build/fuzz_$target-" "$corpus" "$build/starting-inputs/$target"
done
echo "== all fuzz targets ran clean"
