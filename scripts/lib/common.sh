# Shared by the project's scripts: run from the repository root, and
# install missing Debian packages.

cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1

# Everything a build of every preset and every test needs.
QINGLI_PACKAGES=(
  cmake ninja-build g++ pkg-config clang-format clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev
  libespeak-ng-dev espeak-ng-data espeak-ng libsdl2-dev libsonic-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64
  xvfb xdotool x11-utils imagemagick xclip
  pulseaudio pulseaudio-utils sox
)

# ensure_packages NAME...: installs those that are missing.
ensure_packages() {
  local missing=()
  local name
  for name in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "ok installed"; then
      missing+=("$name")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null || return 1
}
