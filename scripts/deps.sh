# Sourced by scripts/run and scripts/test: installs the Debian packages the build needs,
# running apt-get update only when something is missing.
TOLVARAN_PACKAGES="cmake g++ make pkg-config libsqlite3-dev sqlite3 unixodbc-dev odbcinst libsqliteodbc
  libpugixml-dev mdbtools mdbtools-dev libglib2.0-dev unzip libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev xvfb xauth fonts-liberation fonts-crosextra-carlito clang-format"

tolvaran_install_deps() {
  local missing=()
  for p in $TOLVARAN_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# tolvaran_build <root> [target ...]: configures build/ and builds the targets given, or
# everything (tests and benchmarks too) when none is given.
# TOLVARAN_WERROR=ON in the environment (CI sets it) makes every compiler warning an error.
tolvaran_build() {
  local root="$1"
  shift
  local werror=() targets=()
  [ -n "${TOLVARAN_WERROR:-}" ] && werror=(-DTOLVARAN_WERROR="$TOLVARAN_WERROR")
  for t in "$@"; do targets+=(--target "$t"); done
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${werror[@]}" >/dev/null
  cmake --build "$root/build" -j "$(nproc)" "${targets[@]}"
}
