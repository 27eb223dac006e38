# Shared by the scripts: install what is missing, configure and build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${LEXOMAT_BUILD:-$ROOT/build}"

# Debian packages that building, testing offscreen, screenshots and packaging need
# (dpkg-dev finds the package's dependencies; the last four check what is installed;
# Qt Charts' CMake files need Qt OpenGL's, which qt6-base-dev only recommends).
PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
  libqt6sql6-sqlite libsqlite3-dev libicu-dev qt6-multimedia-dev libsndfile1-dev
  qt6-charts-dev libqt6opengl6-dev fonts-dejavu-core fonts-liberation clang-format sqlite3
  mdbtools-dev dpkg-dev desktop-file-utils appstream lintian man-db
  libgsf-1-dev libspreadsheet-writeexcel-perl libexcel-writer-xlsx-perl libxlsxwriter-dev
  python3-odf gnumeric
  python3-xlrd python3-openpyxl libspreadsheet-parseexcel-perl libspreadsheet-parsexlsx-perl
  xlsx2csv kdeedu-kvtml-data shared-mime-info)

ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

build() {
  if [ ! -f "$BUILD/build.ninja" ]; then
    local launcher=()
    # ccache, when a developer has it, shares compiled objects between checkouts.
    if command -v ccache >/dev/null; then
      launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
      export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$ROOT")}" CCACHE_NOHASHDIR=1
    fi
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
  fi
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$ROOT")}" CCACHE_NOHASHDIR=1
  fi
  cmake --build "$BUILD" "$@"
}
