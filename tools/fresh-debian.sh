#!/usr/bin/env bash
# Proves that Korvanta installs on a machine where nothing of it was ever
# installed: a pristine Debian 12 root (debootstrap, minbase) gets a clean
# clone of HEAD, and the README's two set-up commands run in it, as root,
# exactly as the README writes them. Then the .deb made there by
# tools/package.sh is installed into a second pristine root with apt-get and
# asked for its version and usage.
#
# The pristine root is kept as a tarball in KORVANTA_FRESH_CACHE (default
# /var/cache/korvanta-fresh, outside the checkout), and the Debian packages
# the roots download are kept there too, so later runs skip both downloads.
# The first root also gets ccache with a compiler cache kept in
# KORVANTA_FRESH_CCACHE (default $KORVANTA_FRESH_CACHE/ccache) before the
# README's commands run: ccache is no build dependency, so a package missing
# from tools/deps.sh still fails the check, but unchanged sources are not
# compiled again on every CI run.
# Run as root.
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${KORVANTA_FRESH_CACHE:-/var/cache/korvanta-fresh}
suite=bookworm
arch=$(dpkg --print-architecture)
tarball=$cache/debian-$suite-minbase-$arch.tar.gz
archives=$cache/apt-archives
compiler_cache=${KORVANTA_FRESH_CCACHE:-$cache/ccache}

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-debian.sh needs root (debootstrap, chroot, mount)." >&2
  exit 1
fi

say() { printf '\n=== %s\n' "$*"; }

# Every mount point at or below $1, deepest first. /proc/mounts writes a
# space in a path as \040; our roots are made by mktemp and have none.
mounts_under() {
  awk -v root="$1" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/mounts | sort -r
}

unmount_all_under() {
  local dir=$1 m
  for m in $(mounts_under "$dir"); do
    umount "$m" 2>/dev/null || umount -l "$m" || true
  done
}

# Removes a root only once nothing is mounted inside it: a bind mount of /dev
# left there would make rm -rf delete the machine's device nodes.
remove_root() {
  local dir=$1
  [ -d "$dir" ] || return 0
  unmount_all_under "$dir"
  if [ -n "$(mounts_under "$dir")" ]; then
    echo "Still mounted under $dir, so it is left in place:" >&2
    mounts_under "$dir" >&2
    return 1
  fi
  rm -rf --one-file-system "$dir"
}

work=$(mktemp -d /var/tmp/korvanta-fresh.XXXXXX)
cleanup() {
  local status=$?
  remove_root "$work" || status=1
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The Debian mirror this machine's apt uses for the suite.
mirror() {
  local url
  url=$(apt-cache policy 2>/dev/null |
        awk -v s="$suite/main" '$3 == s && $2 ~ /^https?:/ { print $2; exit }')
  echo "${url:-http://deb.debian.org/debian}"
}

make_tarball() {
  if ! command -v debootstrap >/dev/null 2>&1; then
    say "Installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends debootstrap
  fi
  local url base=$work/debootstrap
  url=$(mirror)
  say "debootstrap --variant=minbase $suite from $url"
  debootstrap --variant=minbase "$suite" "$base" "$url"
  unmount_all_under "$base"
  mkdir -p "$cache"
  tar -C "$base" -czf "$tarball.part" .
  mv "$tarball.part" "$tarball"
  remove_root "$base"
}

# new_root NAME: a pristine root from the tarball, with proc, dev and sys
# mounted, the package cache shared and the host's name resolution.
new_root() {
  local root=$work/$1
  mkdir -p "$root" "$archives/partial"
  tar -C "$root" -xzf "$tarball"
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"
  mount --rbind /sys "$root/sys"
  mount --make-rslave "$root/sys"
  mount --bind "$archives" "$root/var/cache/apt/archives"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  echo "$root"
}

# in_root ROOT DIR COMMAND: runs COMMAND with bash in DIR inside ROOT, as root,
# with the environment a root login on a new machine has (no display), and the
# settings in root_extra_env.
root_extra_env=()
in_root() {
  local root=$1 dir=$2 command=$3
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    "${root_extra_env[@]}" /bin/bash -c "cd $dir && $command"
}

# The README's two set-up commands: the lines of its first sh block.
mapfile -t setup < <(awk '/^```sh/ { on = 1; next } on && /^```/ { exit } on' "$here/README.md" |
                     sed -e 's/[[:space:]]*#.*$//' -e '/^[[:space:]]*$/d')
if [ "${#setup[@]}" -ne 2 ]; then
  echo "The README's first sh block should hold the run and the test command; found: ${setup[*]}" >&2
  exit 1
fi

version=$(sed -n 's/^project(Korvanta VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
[ -n "$version" ] || { echo "No project version in CMakeLists.txt" >&2; exit 1; }

if [ -f "$tarball" ]; then
  say "Pristine root: $tarball"
else
  make_tarball
fi

say "First root: a clean clone of HEAD ($(git -C "$here" rev-parse --short HEAD))"
first=$(new_root first)
git clone -q --no-checkout "$here" "$first/root/korvanta"
git -C "$first/root/korvanta" checkout -q --detach "$(git -C "$here" rev-parse HEAD)"

say "ccache, with the cache in $compiler_cache"
mkdir -p "$compiler_cache" "$first/var/cache/ccache"
mount --bind "$compiler_cache" "$first/var/cache/ccache"
in_root "$first" / "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ccache >/dev/null"
# Paths relative to the clone and no folder in the hash, so that a cache
# filled from another folder serves too.
root_extra_env=(CCACHE_DIR=/var/cache/ccache CCACHE_BASEDIR=/root/korvanta CCACHE_NOHASHDIR=1)

timings=()
for command in "${setup[@]}"; do
  say "$command"
  log=$work/setup.log
  start=$SECONDS
  if ! in_root "$first" /root/korvanta "$command" 2>&1 | tee "$log"; then
    echo "FAILED on a fresh Debian 12 root: $command" >&2
    exit 1
  fi
  timings+=("$(printf '%4d s  %s' $((SECONDS - start)) "$command")")
  echo "--- $command: $((SECONDS - start)) s"
done
# The last command is the test command; CTest ends it with its summary.
if ! grep -Eq '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log"; then
  echo "The test command printed no CTest summary." >&2
  exit 1
fi

# The package's Release build keeps warnings as warnings: at -O3, GCC 12
# warns (-Wrestrict) inside libstdc++'s own string copies, which no code of
# ours can mend. The tests' build above has already failed on any warning.
say "bash tools/package.sh"
start=$SECONDS
in_root "$first" /root/korvanta "bash tools/package.sh"
timings+=("$(printf '%4d s  %s' $((SECONDS - start)) "bash tools/package.sh")")
debs=("$first"/root/korvanta/build-package/korvanta_"$version"_*.deb)
[ -f "${debs[0]}" ] || { echo "tools/package.sh made no korvanta_${version}_*.deb" >&2; exit 1; }
package=$(basename "${debs[0]}")

say "Second root: apt-get install ./$package"
root_extra_env=()
second=$(new_root second)
cp "${debs[0]}" "$second/root/"
start=$SECONDS
in_root "$second" /root "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./$package"
timings+=("$(printf '%4d s  %s' $((SECONDS - start)) "apt-get install ./$package")")

printed=$(in_root "$second" /tmp "korvanta --version")
if [ "$printed" != "Korvanta $version" ]; then
  echo "korvanta --version printed '$printed', not 'Korvanta $version'" >&2
  exit 1
fi
usage=$(in_root "$second" /tmp "korvanta --help")
printf '%s\n' "$usage"
if ! grep -q '^用法' <<<"$usage" || ! grep -q '^Usage' <<<"$usage"; then
  echo "korvanta --help printed no usage in both Chinese and English" >&2
  exit 1
fi

say "Fresh Debian 12: passed"
printf '%s\n' "${timings[@]}"
