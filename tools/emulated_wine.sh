#!/usr/bin/env bash
# Builds, once, a Wine whose 32-bit loader runs under qemu's user-mode
# emulator, for kernels that refuse to execute 32-bit code:
#   tools/emulated_wine.sh [TREE]     (default build/wine-emulated)
# The tree's lib/wine/wine is the loader to run.
#
# Wine starts every new 32-bit process by executing its loader again, at the
# path it computes from its own executable's folder and the name in argv[0].
# So the tree holds a copy of the 32-bit loader (wine-i386), a wrapper named
# as the loader (wine) that starts the copy under qemu-i386 with argv[0]
# pointing back at the wrapper, a copy of the 64-bit loader (wine64, which a
# 32-bit process starts for 64-bit programs and the prefix's services), and
# links to Wine's library and share folders, found relative to the loaders.
#
# qemu-i386 comes from Debian's bookworm-backports suite (qemu-user, version
# 10, static binaries; bookworm's own 7.2 takes over a minute per process),
# downloaded with a private apt configuration from the mirror this machine's
# apt sources already use: nothing is installed system-wide.
#
# The tree is built in a fresh folder beside TREE and put in place whole.
# An unfinished TREE is replaced only when it carries this script's marker
# (or is empty): a folder of something else is never deleted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build/wine-emulated}
marker=.kestrom-emulated-wine

[ -x "$tree/lib/wine/wine" ] && [ -x "$tree/bin/qemu-i386" ] && exit 0
if [ -e "$tree" ] && [ ! -e "$tree/$marker" ] && [ -n "$(ls -A "$tree" 2>/dev/null)" ]; then
  echo "$tree exists and is not an emulated Wine of tools/emulated_wine.sh: it stays as it is." \
    "Remove it, or name another folder." >&2
  exit 1
fi

for loader in /usr/lib/wine/wine /usr/lib/wine/wine64; do
  [ -x "$loader" ] || { echo "$loader is missing: tools/install_deps.sh installs wine32:i386 and wine64" >&2; exit 1; }
done

# The Debian mirror of the machine's own apt sources.
mirror=$(apt-cache policy 2>/dev/null | awk '$3 ~ /^bookworm\/main$/ && $4 == "amd64" { print $2; exit }')
if [ -z "$mirror" ]; then
  echo "No Debian bookworm mirror in the apt sources: cannot fetch qemu-i386" >&2
  exit 1
fi

mkdir -p "$(dirname "$tree")"
work=$(mktemp -d)
fresh=$(mktemp -d "$(dirname "$tree")/.$(basename "$tree").XXXXXX")
chmod 755 "$fresh"
trap 'rm -rf "$work" "$fresh"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
echo "deb $mirror bookworm-backports main" >"$work/sources.list"
apt_options=(
  -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
  -o Debug::NoLocking=1 -o APT::Architectures=amd64 -o APT::Sandbox::User=root
)
echo "Fetching qemu-i386 (qemu-user from bookworm-backports at $mirror)" >&2
apt-get "${apt_options[@]}" -qq update >/dev/null
(cd "$work" && apt-get "${apt_options[@]}" -qq download qemu-user/bookworm-backports >/dev/null)
dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386

loader_dir=$fresh/lib/wine
touch "$fresh/$marker"
mkdir -p "$fresh/bin" "$loader_dir" "$fresh/lib/i386-linux-gnu" "$fresh/lib/x86_64-linux-gnu" "$fresh/share"
install -m 755 "$work/usr/bin/qemu-i386" "$fresh/bin/qemu-i386"
# Copies, not links: Wine resolves its own executable's path through links.
cp /usr/lib/wine/wine "$loader_dir/wine-i386"
cp /usr/lib/wine/wine64 "$loader_dir/wine64"
for server in wineserver wineserver32 wineserver64; do
  ln -s "/usr/lib/wine/$server" "$loader_dir/$server"
done
ln -s /usr/lib/i386-linux-gnu/wine "$fresh/lib/i386-linux-gnu/wine"
ln -s /usr/lib/x86_64-linux-gnu/wine "$fresh/lib/x86_64-linux-gnu/wine"
ln -s /usr/share/wine "$fresh/share/wine"
cat >"$loader_dir/wine" <<'EOF'
#!/bin/sh
# Wine's 32-bit loader under qemu's user-mode emulator.
here=$(dirname "$0")
exec "$here/../../bin/qemu-i386" -0 "$0" "$here/wine-i386" "$@"
EOF
chmod 755 "$loader_dir/wine"
"$loader_dir/wine" --version >/dev/null
# In place whole: an unfinished tree of ours (checked above) goes first.
if [ -e "$tree" ]; then
  rm -rf "$tree"
fi
mv "$fresh" "$tree"
