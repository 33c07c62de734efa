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
  xvfb x11-utils xdotool fonts-dejavu-core poppler-utils
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

# The editor and platform tests (label x11) need an X display: a virtual one
# is started unless DISPLAY already names a usable server, and stopped at exit.
# It is :99 when that is free; otherwise the server picks a free number, so
# test runs side by side never share a pointer.
start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return
  fi
  local number_file
  number_file=$(mktemp)
  if [ ! -e /tmp/.X99-lock ]; then
    Xvfb :99 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    echo 99 >"$number_file"
  else
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  fi
  XVFB_PID=$!
  trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    [ -s "$number_file" ] && DISPLAY=":$(head -n1 "$number_file")" xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$number_file")"
  rm -f "$number_file"
}

job_test() {
  start_virtual_display
  configure_and_build build
  run_tests build

  echo "== address and undefined-behaviour sanitizers"
  configure_and_build build-asan -DOL7T_SANITIZE=address,undefined -DOL7T_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" run_tests build-asan

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
