#!/usr/bin/env bash
# Builds the fuzz target of the companion's answer decoding with clang (libFuzzer, ASan, UBSan)
# and runs it for a bounded time from the seed answers in companion_fuzz_corpus/.
# Usage: companion_fuzz.sh [output folder] [seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${1:-$root/build/fuzz}
seconds=${2:-20}
mkdir -p "$out/corpus"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "$here/companion_decode_fuzz.cpp" "$root/companion/answer_decoder.cpp" \
  "$root/base/text.cpp" -lsimdjson -o "$out/companion_decode_fuzz"

# New inputs go to $out/corpus; the seeds are read but never written.
"$out/companion_decode_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 -artifact_prefix="$out/" \
  -print_final_stats=1 "$out/corpus" "$here/companion_fuzz_corpus"
