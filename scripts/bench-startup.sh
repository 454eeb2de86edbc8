#!/usr/bin/env bash
# The start-up benchmark: setups with large payloads started under Wine and
# timed from outside, beside the floor program on the same payloads in the
# same Wine; the native `skinsetup extract` beside the native floor; and the
# size of `--level ultra` against `best`; and whole installations clicked
# through under Wine (the demo, and the demo with 100 MiB more to install).
#   scripts/bench-startup.sh [--rounds N] [--no-ultra] [--no-native] [--no-install]
# Figures are medians of N rounds (default 5); the programs are interleaved
# within each round, so a burst of load elsewhere hits all of them alike.
# BENCH_NATIVE_DIR and BENCH_CROSS_DIR name existing build trees to reuse;
# BENCH_BASELINE_STUB names another setup.exe (an earlier build, say) whose
# setups are timed in the same rounds, beside ours.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
rounds=5 ultra=1 native=1 install=1
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift ;;
    --no-ultra) ultra=0 ;;
    --no-native) native=0 ;;
    --no-install) install=0 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

nbuild=${BENCH_NATIVE_DIR:-build/bench}
xbuild=${BENCH_CROSS_DIR:-build/bench-cross}
data=${BENCH_DATA_DIR:-build/bench-startup}
jobs=${BENCH_JOBS:-2}

echo "== building" >&2
cmake -S . -B "$nbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKINSETUP_BENCH=ON -DSKINSETUP_TESTS=OFF >/dev/null
cmake --build "$nbuild" -j"$jobs" --target skinsetup startup_project unpack_floor >/dev/null
[ -e build/deps-v3/lib ] || scripts/build-cross-deps.sh build/deps-v3
cmake -S . -B "$xbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DSKINSETUP_CROSS_PREFIX="$root/build/deps-v3" -DCMAKE_PREFIX_PATH="$root/build/deps-v3" -DSKINSETUP_BENCH=ON >/dev/null
cmake --build "$xbuild" -j"$jobs" --target setup Uninstall startup_driver unpack_floor popup_floor DemoApp install_bench >/dev/null

tool=$nbuild/tools/skinsetup
stub=$xbuild/setup/setup.exe
# What build's check finds in the demo-based projects is not the benchmark's business.
build_setup() {
  "$tool" build "$@" --uninstaller "$xbuild/uninstall/Uninstall.exe" >"$data/build.log" 2>&1 || { cat "$data/build.log" >&2; exit 1; }
}
mkdir -p "$data"
ms() { echo $(( $(date +%s%N) / 1000000 )); }

echo "== making the setups" >&2
declare -A mib=([empty]=0 [small]=10 [large]=97.9)
variants=(empty small large)
for name in empty small large; do
  # The payload is made anew only when its size changed or it is missing.
  if [ "$(cat "$data/$name.mib" 2>/dev/null)" != "${mib[$name]}" ]; then
    "$nbuild/bench/startup_project" examples/demo "$data/$name" --mib="${mib[$name]}"
    echo "${mib[$name]}" > "$data/$name.mib"
  fi
  cp "$xbuild/tools/DemoApp.exe" "$data/$name/"  # the demo's Setup.ini installs it
  build_setup "$data/$name" -o "$data/$name.exe" --stub "$stub"
  if [ -n "${BENCH_BASELINE_STUB:-}" ]; then
    build_setup "$data/$name" -o "$data/baseline-$name.exe" --stub "$BENCH_BASELINE_STUB"
    variants+=("baseline-$name")
  fi
done

winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }
floor=$(winpath "$xbuild/bench/unpack_floor.exe")
# The floor of a wizard's start-up: a popup window of the skin's size, no more.
args=("popup-floor=$(winpath "$xbuild/bench/popup_floor.exe")")
for name in empty small large; do
  exe=$(winpath "$data/$name.exe")
  # Each setup and its baseline side by side, so that they take turns in
  # coming first (the driver reverses every other round).
  args+=("setup-$name=$exe")
  if [ -n "${BENCH_BASELINE_STUB:-}" ]; then args+=("setup-baseline-$name=$(winpath "$data/baseline-$name.exe")"); fi
  args+=("floor-$name=$floor $exe {out} --payload" "removal-floor-$name=$floor $exe {out} --payload --remove")
done

echo "== start-up under Wine, $rounds rounds" >&2
scripts/with-wine.sh bash -c '
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  wine "$0" "$@"' "$xbuild/bench/startup_driver.exe" "$rounds" "${args[@]}" | tr -d '\r' > "$data/wine.txt"

echo "== system calls of one start under Wine (strace)" >&2
driver=$xbuild/bench/startup_driver.exe
traced=(large empty)
[ -n "${BENCH_BASELINE_STUB:-}" ] && traced+=(baseline-large baseline-empty)
scripts/with-wine.sh bash -c '
  data=$0 driver=$1 floor=$2; shift 2
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  for name in "$@"; do
    strace -f -qq -c -o "$data/strace-$name.txt" wine "$data/$name.exe" &
    wine "$driver" close TSetupForm
    wait
  done
  for name in large empty; do
    out=$(mktemp -d)
    strace -f -qq -c -o "$data/strace-floor-$name.txt" wine "$floor" "$data/$name.exe" "Z:$out" --payload
    rm -rf "$out"
  done' "$data" "$driver" "$xbuild/bench/unpack_floor.exe" "${traced[@]}" >/dev/null 2>&1

fig() { awk -v n="$1" -v f="$2" '$1 == n { $1 = ""; v = $NF; $NF = ""; gsub(/^ +| +$/, ""); if ($0 == f) print v }' "$data/wine.txt"; }

echo
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(wine --version)"
echo "stub setup.exe: $(stat -c %s "$stub") bytes (goal 512000); Uninstall.exe: $(stat -c %s "$xbuild/uninstall/Uninstall.exe") bytes (goal 204800)"
echo "unpack: time to the wizard less the empty setup's; floor: the floor program's run, started and reading"
echo "the setup; floor in: its unpacking alone, timed inside it from the streams in memory (the stricter floor)"
printf '%-16s %5s %9s %9s %8s %8s %8s %8s %7s %7s\n' payload "MiB" window feedback progress unpack floor "floor in" ratio "ratio in"
for name in "${variants[@]}"; do
  case $name in *empty) continue ;; esac
  base=${name%-*}; [ "$base" = "$name" ] && base=""
  w=$(fig "setup-$name" window); w0=$(fig "setup-${base:+$base-}empty" window)
  fb=$(fig "setup-$name" feedback); pw=$(fig "setup-$name" "progress window")
  f=$(fig "floor-${name#baseline-}" run); f0=$(fig floor-empty run)
  fi=$(fig "floor-${name#baseline-}" "step unpacking ms"); fi0=$(fig floor-empty "step unpacking ms")
  size=$(du -sm --apparent-size "$data/${name#baseline-}" | cut -f1)
  awk -v n="$name" -v s="$size" -v w="$w" -v w0="$w0" -v fb="$fb" -v pw="$pw" -v f="$f" -v f0="$f0" -v fi="$fi" -v fi0="$fi0" 'BEGIN {
    printf "%-16s %5s %7.0fms %7.0fms %8s %6.0fms %6.0fms %6.0fms %6.2fx %6.2fx\n", n, s, w, fb, (pw >= 1 ? "shown" : "-"),
      w - w0, f - f0, fi - fi0, (w - w0) / (f - f0), (w - w0) / (fi - fi0) }'
done
for name in "${variants[@]}"; do
  case $name in *empty) printf '%-16s %5s %7.0fms\n' "$name" "-" "$(fig "setup-$name" window)" ;; esac
done
echo
echo "the demo setup (empty): its wizard on screen, and ready for input (its last start-up step done);"
echo "median and least of the rounds"
printf '%-16s %9s %9s %9s %9s\n' setup window least ready least
for name in "${variants[@]}"; do
  case $name in *empty) ;; *) continue ;; esac
  printf '%-16s %7.0fms %7.0fms %7.0fms %7.0fms\n' "$name" "$(fig "setup-$name" window)" "$(fig "setup-$name" "least window")" \
    "$(fig "setup-$name" ready)" "$(fig "setup-$name" "least ready")"
done
printf '%-16s %7.0fms %7.0fms   (a popup window as large as the skin, and a message loop: the floor)\n' popup-floor \
  "$(fig popup-floor window)" "$(fig popup-floor "least window")"
# The start-up timeline of each setup: when each step first began (from
# CreateProcess), how long its runs took together, and how many there were.
for name in "${variants[@]}"; do
  echo
  echo "timeline of setup-$name (medians; ms from the start of the process)"
  printf '  %-24s %9s %9s %6s\n' step begins takes runs
  awk -v n="setup-$name" '$1 == n && $2 == "step" { k = $(NF - 1); v = $NF; $1 = $2 = ""; $NF = $(NF - 1) = ""
      gsub(/^ +| +$/, ""); val[$0, k] = v; steps[$0] = 1 }
    END { for (s in steps) printf "%09.1f  %-24s %7.1fms %7.1fms %6s\n", val[s, "at"], s, val[s, "at"], val[s, "ms"], val[s, "count"] }' \
    "$data/wine.txt" | sort | cut -c12- | sed 's/^/  /'
done
echo
printf '%-16s %16s %16s\n' payload "close to removal" "close to exit"
for name in "${variants[@]}"; do
  printf '%-16s %14.0fms %14.0fms\n' "$name" "$(fig "setup-$name" "work folder gone")" "$(fig "setup-$name" exit)"
done
for name in empty small large; do
  awk -v n="floor-$name" -v r="$(fig "removal-floor-$name" run)" -v u="$(fig "floor-$name" run)" 'BEGIN {
    printf "%-16s %14.0fms   (the floor program deleting what it wrote, by name: one call per file)\n", n, r - u }'
done
echo
echo "system calls of one start (setup: to its window and closed again; floor: unpacking)"
printf '%-16s %9s %9s %9s %9s %9s\n' run stat getdents xattr open all
for name in "${traced[@]}" floor-large floor-empty; do
  awk -v n="$name" '$1 ~ /^[0-9.]+$/ && NF >= 5 { c = $4; s = $NF
      if (s == "total") next
      if (s ~ /stat/) st += c; else if (s ~ /getdents/) gd += c; else if (s ~ /xattr/) xa += c; else if (s ~ /^open/) op += c
      all += c }
    END { printf "%-16s %9d %9d %9d %9d %9d\n", n, st, gd, xa, op, all }' "$data/strace-$name.txt"
done

if [ $native -eq 1 ]; then
  echo
  echo "== native: skinsetup extract against the floor (202 entries, about 62 MB), $rounds rounds" >&2
  tmp=${TMPDIR:-/tmp}/skinsetup-bench.$$
  mkdir -p "$tmp"
  trap 'rm -rf "$tmp"' EXIT
  "$nbuild/bench/startup_project" - "$tmp/files" --mib=59.1 --files=202
  "$tool" pack "$tmp/files" -o "$tmp/a.x" --level best --recurse --with-paths >/dev/null
  ours=() base=()
  for _ in $(seq "$rounds"); do
    rm -rf "$tmp/out"; sync; t=$(ms); "$tool" extract "$tmp/a.x" "$tmp/out" --with-paths >/dev/null; ours+=($(( $(ms) - t )))
    rm -rf "$tmp/out"; sync; t=$(ms); mkdir -p "$tmp/out"; "$nbuild/bench/unpack_floor" "$tmp/a.x" "$tmp/out" >/dev/null; base+=($(( $(ms) - t )))
  done
  rm -rf "$tmp/out"
  median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  o=$(median "${ours[@]}") b=$(median "${base[@]}")
  awk -v o="$o" -v b="$b" 'BEGIN { printf "native extract: skinsetup %.0f ms, floor %.0f ms, floor/ours %.2f (goal at least 0.95)\n", o, b, b / o }'
fi

if [ $ultra -eq 1 ]; then
  echo
  echo "== --level ultra against best on the large payload (one run each)" >&2
  for level in best ultra; do
    t=$(ms)
    build_setup "$data/large" -o "$data/large-$level.exe" --stub "$stub" --level "$level"
    echo "$level $(( $(ms) - t )) $(stat -c %s "$data/large-$level.exe")"
  done | awk '{ t[$1] = $2; s[$1] = $3 } END {
    printf "build best:  %9d bytes in %6.1f s\n", s["best"], t["best"] / 1000
    printf "build ultra: %9d bytes in %6.1f s, %.2f %% smaller\n", s["ultra"], t["ultra"] / 1000, 100 * (1 - s["ultra"] / s["best"]) }'
fi

if [ $install -eq 1 ]; then
  echo
  echo "== installations under Wine, clicked through, $rounds rounds" >&2
  # The demo as it is, and with 502 files of 97.9 MiB more, each installed.
  for name in demo large; do
    m=0; [ $name = large ] && m=97.9
    if [ "$(cat "$data/install-$name.mib" 2>/dev/null)" != "$m" ]; then
      "$nbuild/bench/startup_project" examples/demo "$data/install-$name" --mib="$m" --addfile
      echo "$m" > "$data/install-$name.mib"
    fi
    cp "$xbuild/tools/DemoApp.exe" "$data/install-$name/"
    build_setup "$data/install-$name" -o "$data/install-$name.exe" --stub "$stub"
  done
  scripts/with-wine.sh bash -c '
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    wine "$0" "$@"' "$xbuild/bench/install_bench.exe" "$rounds" "demo=$(winpath "$data/install-demo.exe")" \
    "large=$(winpath "$data/install-large.exe")" | tr -d '\r' > "$data/install.txt"
  echo "installation (medians, ms): start-up to the welcome page; copy to the full bar; run to the completion page;"
  echo "finish from its Forward to the end; uninstall /S to the removal of the destination"
  printf '%-8s %9s %9s %9s %9s %9s\n' setup start-up copy run finish uninstall
  for name in demo large; do
    awk -v n="$name" '$1 == n { v[$2] = $3 } END {
      printf "%-8s %7.0fms %7.0fms %7.0fms %7.0fms %7.0fms\n", n, v["start-up"], v["copy"], v["run"], v["finish"], v["uninstall"] }' \
      "$data/install.txt"
  done
fi
