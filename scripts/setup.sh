# Sourced by test.sh and run.sh: installs the Debian packages the build needs.
# As root, missing packages are installed with apt-get; otherwise the exact command is
# printed and the script stops.

CORVANE_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev
  libcurl4-openssl-dev
  googletest libgtest-dev libgmock-dev
  fonts-dejavu-core fonts-liberation2
  fonts-arphic-uming
)

corvane_missing_packages() {
  local pkg missing=()
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  echo "${missing[@]}"
}

corvane_ensure_packages() {
  local missing
  missing=$(corvane_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: $missing"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
  else
    echo "Missing packages. Run as root:"
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends $missing"
    exit 1
  fi
}
