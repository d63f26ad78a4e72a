#!/usr/bin/env bash
# Fuzzes the parsers with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   fuzz/run.sh [SECONDS] [TARGET...]
#
# Builds the fuzz targets with clang in build-fuzz/ (PLUMO_FUZZ_BUILD), then runs each target
# (all of them when none is named) for SECONDS (default 60) over a copy of its seed corpus.
# New inputs, crash inputs and logs go to a folder of their own that the script prints;
# the committed corpus under fuzz/corpus/ is never written unless PLUMO_FUZZ_MERGE=1, which
# merges the inputs that reach new code into it. Exits non-zero when any target failed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: fuzz/run.sh [SECONDS] [TARGET...]  (SECONDS: a whole number above 0)" >&2
    exit 2
fi
all_targets=(png_fuzzer gif_fuzzer settings_file_fuzzer jet_statement_fuzzer version_note_fuzzer
             datecn_arguments_fuzzer notavo_cli_fuzzer hand_off_fuzzer)
targets=("${@:-${all_targets[@]}}")
for target in "${targets[@]}"; do
    if [ ! -d "$root/fuzz/corpus/$target" ]; then
        echo "fuzz/run.sh: no fuzz target '$target'; the targets are: ${all_targets[*]}" >&2
        exit 2
    fi
done
command -v clang++ >/dev/null || {
    echo "fuzz/run.sh needs clang: apt-get install clang libclang-rt-14-dev" >&2
    exit 2
}

build=${PLUMO_FUZZ_BUILD:-$root/build-fuzz}
out=${PLUMO_FUZZ_OUT:-$build/runs/$(date +%Y%m%d-%H%M%S)}
jobs=${PLUMO_BUILD_JOBS:-$(nproc)}
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
launcher=()
command -v ccache >/dev/null &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
    -DCMAKE_C_FLAGS="$sanitizers -fno-omit-frame-pointer" \
    -DCMAKE_CXX_FLAGS="$sanitizers -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DPLUMO_BUILD_TESTS=OFF -DPLUMO_BUILD_BENCHMARKS=OFF -DPLUMO_BUILD_FUZZERS=ON >/dev/null
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

mkdir -p "$out"
# The targets' scratch files: in memory where possible, as the memo database and the settings
# file are synced to disk at every write.
scratch_base=/dev/shm
[ -d "$scratch_base" ] && [ -w "$scratch_base" ] || scratch_base=$out
scratch=$(mktemp -d "$scratch_base/plumo-fuzz-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
echo "Fuzzing ${#targets[@]} target(s) for ${seconds}s each; corpora, crashes and logs in $out"
export TMPDIR=$scratch
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
summary=()
failed=0
for target in "${targets[@]}"; do
    corpus=$out/corpus/$target
    artifacts=$out/artifacts/$target
    mkdir -p "$corpus" "$artifacts"
    cp -r "$root/fuzz/corpus/$target/." "$corpus/"
    log=$out/$target.log
    echo "== $target"
    status=0
    (cd "$scratch" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1) ||
        status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    inputs=$(find "$corpus" -type f | wc -l)
    if [ "$status" -eq 0 ]; then
        verdict=ok
    else
        verdict="FAILED (exit $status): $(find "$artifacts" -type f -printf '%f ' | head -c 300)"
        failed=1
        grep -m3 -E 'ERROR: |runtime error|^SUMMARY|/fuzz/[a-z_]+\.cpp:[0-9]+: ' "$log" | sed 's/^/    /' || true
    fi
    summary+=("$(printf '%-26s %10s execs %8s/s  cov %5s  ft %6s  corpus %5s  %s' "$target" \
        "${execs:-?}" "${speed:-?}" "${cov:-?}" "${features:-?}" "$inputs" "$verdict")")
    if [ "${PLUMO_FUZZ_MERGE:-0}" = 1 ] && [ "$status" -eq 0 ]; then
        (cd "$scratch" && "$build/fuzz/$target" -merge=1 "$root/fuzz/corpus/$target" "$corpus" \
            >>"$log" 2>&1)
    fi
done

echo
echo "Summary (${seconds}s per target; logs, corpora and crash inputs in $out):"
printf '  %s\n' "${summary[@]}"
exit $failed
