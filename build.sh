#!/usr/bin/env bash
# ./build.sh run    set up, build and start the program on the bundled sample bank
# ./build.sh test   set up, build and run every test
# ./build.sh bench  set up, build and run the benchmarks (large banks are generated on the fly)
# ./build.sh package     set up, build and make the Debian package build/quillora_*.deb
# ./build.sh screenshot  set up, build and write docs/screenshot.png from the program under Xvfb
# ./build.sh portal      build and serve the sample portal on http://127.0.0.1:8901/ (until Ctrl+C)
# ./build.sh asan   build everything with AddressSanitizer and UBSan in build-asan/ and run every test
# ./build.sh fuzz   build the fuzz targets with clang in build-fuzz/ and run each for FUZZ_SECONDS (60)
# ./build.sh format        apply .clang-format to every C++ file of the repository
# ./build.sh format-check  fail, naming the places, where a C++ file differs from .clang-format
set -euo pipefail
cd "$(dirname "$0")"
top=$(pwd)

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev qt6-declarative-dev libqt6opengl6-dev
  libsqlite3-dev libjpeg62-turbo-dev libquazip1-qt6-dev libgumbo-dev qt6-charts-dev
  libpoppler-qt6-dev libpoppler-private-dev libfreexl-dev libreoffice-writer-nogui libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-wqy-microhei locales-all
  desktop-file-utils appstream dpkg-dev python3 lintian qt6-translations-l10n
  clang libclang-rt-14-dev clang-format
)

install_missing() {
  local missing=()
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# A compiler cache, where one is installed, makes rebuilds in other checkouts cheap.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$top")}"
fi

configure_and_build() {
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    -DQUILLORA_WERROR="${QUILLORA_WERROR:-ON}" "${launcher[@]}" >/dev/null
  cmake --build "$top/build" -j 2
}

# Qt WebEngine as root needs the Chromium sandbox off; without a GPU it renders in software.
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}"

# Every C++ file git knows of: sources, tests, tools, benchmarks, fuzz targets.
cxx_files() { git -C "$top" ls-files -z '*.cpp' '*.h'; }

cmd=${1:-run}
case "$cmd" in
  format)
    install_missing
    cxx_files | xargs -0 clang-format -i
    ;;
  format-check)
    install_missing
    cxx_files | xargs -0 clang-format --dry-run -Werror
    ;;
  run)
    install_missing
    configure_and_build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      exec xvfb-run -a -s "-screen 0 1366x768x24" "$top/build/bin/quillora"
    fi
    exec "$top/build/bin/quillora"
    ;;
  test)
    install_missing
    configure_and_build
    export QT_QPA_PLATFORM=offscreen
    cd "$top/build"
    ctest --output-on-failure --timeout 600
    ;;
  bench)
    install_missing
    configure_and_build
    cmake --build "$top/build" --target benchmarks
    for b in "$top"/build/bench/bench_*; do
      if [ -f "$b" ] && [ -x "$b" ]; then "$b"; fi
    done
    ;;
  package)
    install_missing
    configure_and_build
    cd "$top/build"
    cpack -G DEB
    ls "$top"/build/quillora_*.deb
    ;;
  screenshot)
    install_missing imagemagick xdotool
    configure_and_build
    # Installed into a scratch prefix and started with a scratch HOME: the
    # picture shows a first start on the shipped bank, and nothing of ours is touched.
    shot=$(mktemp -d)
    trap 'rm -rf "$shot"' EXIT
    cmake --install "$top/build" --prefix "$shot/root" >/dev/null
    mkdir -p "$shot/home" "$top/docs"
    HOME="$shot/home" xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
      "$1/root/bin/quillora" & pid=$!
      page="$HOME/.local/share/Quillora/css/Question.html"
      for _ in $(seq 1 120); do [ -s "$page" ] && break; sleep 0.5; done
      sleep 4  # the browser paints the page after it is written
      # Without a window manager the window keeps its own size: take just the window.
      win=$(xdotool search --onlyvisible --pid $pid | head -1)
      import -window "${win:-root}" "$2"
      kill $pid' _ "$shot" "$top/docs/screenshot.png"
    echo "wrote docs/screenshot.png"
    ;;
  portal)
    install_missing
    configure_and_build
    exec "$top/build/tools/portalserve" --port 8901 "$top/data/portal"
    ;;
  asan)
    install_missing
    san="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
    # Sanitized code makes gcc 12 see uninitialised values inside libstdc++'s
    # own headers (std::regex, std::function) that are not there.
    cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_WERROR=ON \
      -DCMAKE_C_FLAGS="$san" -DCMAKE_CXX_FLAGS="$san -Wno-maybe-uninitialized" \
      -DCMAKE_EXE_LINKER_FLAGS="$san" -DCMAKE_SHARED_LINKER_FLAGS="$san" >/dev/null
    cmake --build "$top/build-asan" -j "${JOBS:-2}"
    export QT_QPA_PLATFORM=offscreen
    # Leaks are reported only when they are ours: the suppressions cover Qt,
    # fontconfig and Chromium's own allocations that live until exit.
    # Qt WebEngine's own Chromium frees objects with a sized delete of a base
    # class when its pages close (WebContentsAdapter); ASan cannot tell that
    # apart from ours, so the size check is off.
    export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:new_delete_type_mismatch=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
    export LSAN_OPTIONS="suppressions=$top/sanitizers/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    cd "$top/build-asan"
    ctest --output-on-failure --timeout 1800
    ;;
  fuzz)
    install_missing
    cmake -S "$top" -B "$top/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_FUZZ=ON \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$top/build-fuzz" -j "${JOBS:-2}"
    seconds=${FUZZ_SECONDS:-60}
    export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    export LSAN_OPTIONS="suppressions=$top/sanitizers/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    for corpus in "$top"/fuzz/corpus/*/; do
      name=$(basename "$corpus")
      # New finds go to a scratch folder; the committed corpus stays small.
      work="$top/build-fuzz/corpus/$name"
      mkdir -p "$work" "$top/build-fuzz/crashes/$name"
      dict=()
      [ -f "$top/fuzz/$name.dict" ] && dict=(-dict="$top/fuzz/$name.dict")
      echo "== fuzz_$name for ${seconds}s"
      "$top/build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$top/build-fuzz/crashes/$name/" "${dict[@]}" "$work" "$corpus"
    done
    ;;
  *)
    echo "usage: $0 run|test|bench|package|screenshot|portal|asan|fuzz" >&2
    exit 2
    ;;
esac
