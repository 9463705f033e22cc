# Shared by scripts/test and scripts/run: installs what the build needs and
# builds into a folder. Source it from the project's root.

EITOOL_PACKAGES=(cmake ninja-build g++ libgtest-dev qt6-base-dev fonts-dejavu-core)

missing_packages() {
  local missing=() p
  for p in "${EITOOL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$p")
  done
  echo "${missing[@]}"
}

ensure_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: $missing" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
  else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y --no-install-recommends $missing" >&2
    exit 1
  fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
