# Shared by run.sh and test.sh: install what is missing, then build.
# Sourced, not run; expects to be in the repository root.

# What building and running need (./run.sh).
TROVLIN_PACKAGES=(
  cmake ninja-build g++ pkg-config help2man
  libicu-dev libgtest-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev libxlsxwriter-dev
  qt6-base-dev libgl-dev qt6-translations-l10n fonts-noto-cjk
)
# What the tests add (./test.sh): the formatting check, the window under a
# virtual display, the package checks, the spreadsheet round trips, the
# timing of benchmarks, and clang with libFuzzer for the fuzz targets.
TROVLIN_TEST_PACKAGES=(
  clang-format xvfb xauth time
  dpkg-dev lintian desktop-file-utils appstream
  libreoffice-calc-nogui clang libclang-rt-14-dev
)
# What the Windows check adds (./test.sh --windows): the MinGW-w64 cross
# compiler, posix threads flavour, and Wine to run the .exe.
TROVLIN_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 wine)
# What the page adds (scripts/build_web.sh, scripts/test_web.sh): Debian's
# emscripten and Node.js, and the browser its tests drive.
TROVLIN_WEB_PACKAGES=(emscripten nodejs chromium chromium-driver python3-selenium)

# install_missing_packages [package...]: TROVLIN_PACKAGES and the ones named.
install_missing_packages() {
  local missing=()
  local p
  for p in "${TROVLIN_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# build PRESET: configures and builds with one of CMakePresets.json's presets
# (release: build/, asan: build-asan/, fuzz: build-fuzz/).
build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
}
