# Sourced by the fuzz scripts: builds the libFuzzer targets (clang, ASan +
# UBSan) in $build and makes their seed corpora in $build/seeds from files our
# own writers produce. Sets $targets to every fuzz target the configuration has.
build=$(realpath -m "${FUZZ_BUILD_DIR:-build/fuzz}")
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKINSETUP_FUZZ=ON -DSKINSETUP_TESTS=OFF >/dev/null
targets=$(ninja -C "$build" -t targets all | grep -v '^cmake_' | sed -n 's/^\([a-z_]*_fuzz\): phony$/\1/p' | sort)
cmake --build "$build" --target make_seeds $targets

seeds="$build/seeds"
rm -rf "$seeds"
"$build/tests/fuzz/make_seeds" "$PWD" "$seeds"

# Runs one target with the limits all our runs share; extra libFuzzer options
# follow the target's name. Findings go to $findings.
#   run_fuzz_target TARGET CORPUS LOG [OPTION...]
run_fuzz_target() {
  local target=$1 corpus=$2 log=$3
  shift 3
  local name=${target%_fuzz}
  mkdir -p "$corpus" "$findings"
  "$build/tests/fuzz/$target" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$name-" "$@" "$corpus" "$seeds/$name" >"$log" 2>&1
}

report_fuzz_failure() {
  local target=$1 log=$2
  echo "FAILED: $target"
  grep -E "ERROR|SUMMARY|Test unit written" "$log" || tail -20 "$log"
}
