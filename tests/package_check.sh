#!/bin/sh
# Builds the Debian package from a build directory and checks what it holds:
# the two programs and their manual pages, depending on the C library alone.
#   package_check.sh BUILD_DIR
set -eu
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB -B "$out" --config "$1/CPackConfig.cmake" >/dev/null
deb=$(ls "$out"/*.deb)
files=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | sort | tr '\n' ' ')
expected="./usr/bin/mirtavosken2 ./usr/bin/quembol ./usr/share/man/man1/mirtavosken2.1.gz ./usr/share/man/man1/quembol.1.gz "
[ "$files" = "$expected" ] || { echo "the package holds: $files"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  libc6*) ;;
  *) echo "the package depends on: $depends"; exit 1 ;;
esac
case "$depends" in
  *,*) echo "the package depends on more than the C library: $depends"; exit 1 ;;
esac
echo "$(basename "$deb"): $files; Depends: $depends"
