#!/usr/bin/env bash
# Coverage-guided fuzzing of the parsers of untrusted bytes, built natively with clang's
# libFuzzer and the address and undefined-behaviour sanitizers: one harness per parser, seeded
# from the fuzz test's seed files, each run for QUORVEL_NATIVE_FUZZ_SECONDS (600) one after
# another. Prints each one's runs, coverage and findings; fails when any finds something.
# Usage: run.sh BUILD_DIR [HARNESS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../../.." && pwd)
work=$(realpath "$1")/fuzz-native
shift
seconds=${QUORVEL_NATIVE_FUZZ_SECONDS:-600}
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(bmp_file bmp_head picture_header avi_structure cinepak_frame)
mkdir -p "$work"
cd "$work"

# The parser each harness drives.
declare -A parser=([bmp_file]=textures/bmp_check [bmp_head]=textures/bmp_check
  [picture_header]=textures/picture_header [avi_structure]=media/avi_structure
  [cinepak_frame]=media/cinepak_frame)
flags=(-std=c++20 -O1 -g -I"$source_dir/src" -I"$source_dir/tools/fuzz")

# Seeds: the BMP seeds, the seed pictures and movies, and the Cinepak movies' frames.
rm -rf seeds && mkdir -p seeds/bmp seeds/media seeds/bmp_head seeds/cinepak_frame
clang++-14 "${flags[@]}" "$here/write_bmp_seeds.cpp" "$source_dir/tools/fuzz/bmp_seeds.cpp" \
  -o write_bmp_seeds
./write_bmp_seeds seeds/bmp
bash "$source_dir/tools/fuzz/make_seed_pictures.sh" seeds/media >/dev/null
bash "$source_dir/tools/fuzz/make_seed_movies.sh" seeds/media >/dev/null
for f in seeds/bmp/*.bmp; do
  { printf '\0\0\0\0'; cat "$f"; } >"seeds/bmp_head/$(basename "$f")"
done
# Each chunk named 00dc with a plausible size, behind the picture's size (32 x 24).
for movie in seeds/media/cinepak*.avi; do
  grep -obUa 00dc "$movie" | cut -d: -f1 | while read -r at; do
    size=$(od -An -tu4 -j $((at + 4)) -N4 "$movie" | tr -d ' ')
    [ "$size" -gt 16 ] && [ "$size" -lt 65536 ] || continue
    { printf '\040\0\030\0'; tail -c +$((at + 9)) "$movie" | head -c "$size"; } \
      >"seeds/cinepak_frame/$(basename "$movie" .avi)-$at"
  done
done
declare -A seeds=([bmp_file]=seeds/bmp [bmp_head]=seeds/bmp_head [picture_header]=seeds/media
  [avi_structure]=seeds/media [cinepak_frame]=seeds/cinepak_frame)

found=0
for name in "${harnesses[@]}"; do
  source_file="$source_dir/src/${parser[$name]}.cpp"
  clang++-14 "${flags[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "$here/$name.cpp" "$source_file" -o "$name"
  # The corpus grows from run to run; findings are those of this run.
  rm -rf "findings/$name"
  mkdir -p "corpus/$name" "findings/$name"
  # An input that takes seconds is a hang: the checks take well under a millisecond (make bench
  # times them), and the allowance is for a machine that others share.
  nice ./"$name" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="findings/$name/" "corpus/$name" "${seeds[$name]}" \
    >"$name.log" 2>&1 || true
  # Line coverage of the parser by the corpus the run kept.
  clang++-14 "${flags[@]}" -fsanitize=fuzzer -fprofile-instr-generate -fcoverage-mapping \
    "$here/$name.cpp" "$source_file" -o "$name-coverage"
  LLVM_PROFILE_FILE="$name.profraw" ./"$name-coverage" -runs=0 "corpus/$name" \
    "${seeds[$name]}" >/dev/null 2>&1 || true
  llvm-profdata-14 merge -o "$name.profdata" "$name.profraw"
  lines=$(llvm-cov-14 report "$name-coverage" -instr-profile="$name.profdata" "$source_file" |
    awk '/^TOTAL/ {print $(NF-3)}')
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$name.log")
  edges=$(grep -oE 'cov: [0-9]+' "$name.log" | tail -n 1 | cut -d' ' -f2)
  slowest=$(sed -n 's/^stat::slowest_unit_time_sec: *//p' "$name.log")
  findings=$(find "findings/$name" -type f | wc -l)
  printf '%-15s %10s runs in %s s, %s edges, %s of the parser'"'"'s lines, slowest input %s s, %s findings\n' \
    "$name" "${runs:-?}" "$seconds" "${edges:-?}" "${lines:-?}" "${slowest:-?}" "$findings"
  if [ "$findings" -gt 0 ] || [ -z "$runs" ]; then
    found=1
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$name.log" | head -n 5 || true
    echo "  kept in $work/findings/$name; the log is $work/$name.log"
  fi
done
exit "$found"
