#!/usr/bin/env bash
# The two jobs of the quick start on a Debian machine:
#   ./build.sh demo   install what is missing, build, install the plug-in, render the demo
#   ./build.sh test   install what is missing, build and run every test (plain and sanitized)
set -euo pipefail
cd "$(dirname "$0")"

JOBS=${JOBS:-2}
PACKAGES=(
  build-essential cmake pkg-config
  juce-modules-source-data dpf-source
  libx11-dev libxtst-dev libcairo2-dev libstb-dev libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xdotool fonts-dejavu-core poppler-utils
)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure DIR [cmake options...]
configure_and_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
}

run_tests() {
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j"$JOBS" "$@")
}

# Builds the libFuzzer programs with clang and runs each for a few seconds,
# starting from its seed corpus (new inputs go to the build tree).
fuzz_briefly() {
  echo "== fuzzing the byte-level readers (clang, libFuzzer)"
  local dir=build-fuzz targets=(text_rez registry_file state_chunk vst2_chunk)
  CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOL7T_BENCH=OFF \
    -DOL7T_FUZZ=ON -DOL7T_SANITIZE=address,undefined,fuzzer-no-link >/dev/null
  cmake --build "$dir" -j"$JOBS" --target "${targets[@]/%/_fuzzer}"
  for t in "${targets[@]}"; do
    mkdir -p "$dir/corpus/$t"
    if ! "$dir/tests/fuzz/${t}_fuzzer" -max_total_time="${FUZZ_SECONDS:-15}" -rss_limit_mb=2048 \
        -artifact_prefix="$dir/" "$dir/corpus/$t" "tests/fuzz/corpus/$t" >"$dir/$t.log" 2>&1; then
      tail -n 60 "$dir/$t.log"
      return 1
    fi
    echo "$t: $(grep -E '^#[0-9]+.*DONE' "$dir/$t.log" | tail -n 1 || true)"
  done
}

job_test() {
  configure_and_build build
  run_tests build

  echo "== address and undefined-behaviour sanitizers"
  configure_and_build build-asan -DOL7T_SANITIZE=address,undefined -DOL7T_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-asan

  fuzz_briefly

  echo "== thread sanitizer (concurrency tests)"
  configure_and_build build-tsan -DOL7T_SANITIZE=thread -DOL7T_BENCH=OFF
  TSAN_OPTIONS=halt_on_error=1 run_tests build-tsan -L concurrency
}

job_demo() {
  configure_and_build build
  echo "== the signal model benchmark (the render tool follows with the plug-in bundle)"
  ./build/bench/ol7t_bench --benchmark_min_time=0.2
}

case "${1:-}" in
  test) install_packages; job_test ;;
  demo) install_packages; job_demo ;;
  *) echo "usage: $0 demo|test" >&2; exit 2 ;;
esac
