#!/usr/bin/env bash
# The two jobs of the quick start on a Debian machine:
#   ./build.sh demo   install what is missing, build, install the plug-in, render the demo
#   ./build.sh test   install what is missing, build and run every test (plain and sanitized,
#                     then the Windows form under Wine)
#   ./build.sh bench  install what is missing (and four compressors to compare with), build and
#                     time our process beside them
set -euo pipefail
cd "$(dirname "$0")"

JOBS=${JOBS:-2}
PACKAGES=(
  build-essential cmake pkg-config
  juce-modules-source-data dpf-source
  libx11-dev libxtst-dev libcairo2-dev libpng-dev libfontconfig-dev libstb-dev libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb x11-utils xdotool fonts-dejavu-core poppler-utils
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine wine64 zip
)
# The comparison benchmark loads these through lilv.
PEER_PACKAGES=(liblilv-dev x42-plugins zam-plugins calf-plugins lsp-plugins-lv2)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
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

# The Windows form, cross-compiled with MinGW-w64 into build-win; its images
# and manual come from the Linux build's bundle.
build_windows() {
  echo "== the Windows form (MinGW-w64)"
  configure_and_build build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DOL7T_HOST_BUNDLE="$PWD/build/OL-7T.vst3" -DOL7T_BENCH=OFF
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

  local windows_start=$SECONDS
  build_windows
  echo "== the Windows form's tests under Wine"
  run_tests build-win
  echo "== the Windows part took $((SECONDS - windows_start)) s"

  echo "== address and undefined-behaviour sanitizers"
  configure_and_build build-asan -DOL7T_SANITIZE=address,undefined -DOL7T_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" run_tests build-asan

  fuzz_briefly

  echo "== thread sanitizer (concurrency tests)"
  configure_and_build build-tsan -DOL7T_SANITIZE=thread -DOL7T_BENCH=OFF
  TSAN_OPTIONS=halt_on_error=1 run_tests build-tsan -L concurrency
}

job_demo() {
  configure_and_build build
  echo "== installing the plug-in"
  cmake --install build
  echo "== rendering the demo programme through the installed bundle"
  mkdir -p out
  ./build/tools/ol7t-render --bundle "$HOME/.vst3/OL-7T.vst3" --gain 0.45 --peak-reduction 0.65 \
    -o out/demo.wav --plot out/demo-plot.png
  echo "== screenshots of the editor's two panels"
  start_virtual_display
  ./build/tools/ol7t-shot --bundle "$HOME/.vst3/OL-7T.vst3" --param 1=0.45 --param 2=0.65 --out out/editor.png
  ./build/tools/ol7t-shot --bundle "$HOME/.vst3/OL-7T.vst3" --module --param 1=0.45 --param 2=0.65 \
    --out out/editor-compact.png
  build_windows
  echo "== the Windows bundle and VST 2 library: out/OL-7T-windows.zip"
  # The packed libraries leave their debugging information behind.
  rm -rf build-win/package out/OL-7T-windows.zip
  mkdir -p build-win/package
  cp -r build-win/OL-7T.vst3 build-win/OL-7T.dll build-win/package/
  x86_64-w64-mingw32-strip --strip-debug build-win/package/OL-7T.dll \
    build-win/package/OL-7T.vst3/Contents/x86_64-win/OL-7T.vst3
  (cd build-win/package && zip -qr ../../out/OL-7T-windows.zip OL-7T.vst3 OL-7T.dll)
  if [ -x build-win/tools/ol7t-shot.exe ]; then
    echo "== the full panel as Windows draws it (Wine)"
    build-win/wine-run build-win/tools/ol7t-shot.exe --param 1=0.45 --param 2=0.65 --out out/editor-windows.png
  fi
  echo "== written: out/demo.wav, out/demo-plot.png, out/editor.png, out/editor-compact.png," \
    "out/OL-7T-windows.zip$([ -f out/editor-windows.png ] && echo ", out/editor-windows.png")"
}

job_bench() {
  configure_and_build build
  echo "== literal model, our process and four compressors, 48 kHz, blocks of 512"
  ./build/bench/ol7t_host_bench --benchmark_repetitions="${BENCH_REPETITIONS:-3}" \
    --benchmark_report_aggregates_only=true
  echo "== 200 effects in one process"
  ./build/bench/ol7t_instances_bench
}

case "${1:-}" in
  test) install_packages; job_test ;;
  demo) install_packages; job_demo ;;
  bench) install_packages "${PEER_PACKAGES[@]}"; job_bench ;;
  *) echo "usage: $0 demo|test|bench" >&2; exit 2 ;;
esac
