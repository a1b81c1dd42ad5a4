#!/usr/bin/env bash
# Installs what building and running Kestrom needs on Debian 12, once.
# Idempotent and quiet: when everything is there it does nothing.
#
# A mirror that is being synchronised fails some of its package lists for a
# while ("File has unexpected size ... Mirror sync in progress?"), and its
# i386 packages can then lag behind the amd64 ones already installed, which
# they must match. So the lists are fetched again a few times with a pause;
# an index that still fails is named and the installation tried with the
# lists that came; and i386 packages that cannot match say so and what to
# do, not in the resolver's words.
#   KESTROM_APT_ATTEMPTS (4) and KESTROM_APT_PAUSE (30 s) set the retries.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xauth x11-utils imagemagick
  fonts-dejavu-core fonts-liberation fonts-wine
  python3 openssl nsis osslsigncode libxml2-utils
)
attempts=${KESTROM_APT_ATTEMPTS:-4}
pause=${KESTROM_APT_PAUSE:-30}

say() { echo "install_deps: $*" >&2; }

# apt-get update until it succeeds or the attempts are used up; then the
# lists that failed are named, and what came is used.
update_lists() {
  local attempt log
  log=$(mktemp)
  for attempt in $(seq 1 "$attempts"); do
    if $sudo apt-get update -qq >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    if [ "$attempt" -lt "$attempts" ]; then
      say "apt-get update failed (attempt $attempt of $attempts); again in $pause s"
      sleep "$pause"
    fi
  done
  say "apt-get update still fails after $attempts attempts; these package lists did not come:"
  grep -E 'Failed to fetch' "$log" | sed 's/^[EW]: Failed to fetch /  /' >&2 || sed 's/^/  /' "$log" >&2
  say "trying the installation with the lists that came"
  rm -f "$log"
}

# The i386 packages among the missing ones.
i386_packages() {
  local p
  for p in "$@"; do
    [[ $p == *:i386 ]] && echo "$p"
  done
  return 0
}

install_missing() {
  local log i386 others
  log=$(mktemp)
  if $sudo apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1; then
    rm -f "$log"
    return 0
  fi
  mapfile -t i386 < <(i386_packages "$@")
  if [ ${#i386[@]} -gt 0 ] && grep -q 'unmet dependencies' "$log" && grep -q ':i386' "$log"; then
    rm -f "$log"
    # What does not depend on them still comes.
    mapfile -t others < <(printf '%s\n' "$@" | grep -v ':i386$' || true)
    if [ ${#others[@]} -gt 0 ]; then
      $sudo apt-get install -y -qq --no-install-recommends "${others[@]}" >/dev/null 2>&1 || true
    fi
    say "the i386 packages (${i386[*]}) cannot be installed now: their libraries must be the same"
    say "versions as the installed amd64 ones, and the mirror does not offer those for i386 yet"
    say "(it is probably being synchronised). Nothing is broken; run \`make demo\` again later."
    exit 1
  fi
  cat "$log" >&2
  rm -f "$log"
  say "apt-get install failed"
  exit 1
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  update_lists
  install_missing "${missing[@]}"
fi

# Where the kernel refuses 32-bit code, Wine's 32-bit loader runs under
# qemu-i386 (tools/wine_env.sh chooses).
if [ "${KESTROM_WINE_EMULATED:-0}" = 1 ] || ! timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
  "$(dirname "$0")/emulated_wine.sh"
fi
