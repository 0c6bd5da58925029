# Shared by the set-up scripts: installs missing Debian packages.

# ensure_packages FILE...: every package named in the files (one a line,
# '#' starts a comment) that is not installed yet is installed with apt-get.
ensure_packages() {
  local wanted=() missing=() pkg
  mapfile -t wanted < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$@")
  for pkg in "${wanted[@]}"; do
    pkg=$(echo "$pkg" | xargs)
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -o DPkg::Lock::Timeout=600 -y -qq --no-install-recommends "${missing[@]}"
}
