# packages.sh - Debian packages the commands need; sourced by run-demo,
# run-tests and run-bench. Installs only what is missing.

ORB_DEMO_PACKAGES=(cmake ninja-build g++ make pkg-config python3
  libcurl4-openssl-dev libssl-dev libmtp-dev)

ORB_TEST_PACKAGES=("${ORB_DEMO_PACKAGES[@]}" clang libclang-rt-14-dev googletest
  wine wine64 fonts-wine g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  xvfb xauth xdotool imagemagick x11-utils file python3 curl)

# Benchmarks (tools/run-bench): curl is the yardstick they compare against.
ORB_BENCH_PACKAGES=(cmake ninja-build g++ libssl-dev curl)

orb_ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null || { echo "need root to install ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
