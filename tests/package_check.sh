#!/bin/sh
# Builds the Debian package from a build directory and checks it:
#   package_check.sh BUILD_DIR contents   the programs, their manual pages, the
#                                         copyright file and the changelog,
#                                         depending on the C library alone
#   package_check.sh BUILD_DIR debian     Debian's own checks: lintian prints
#                                         nothing, hardening-check finds every
#                                         protection, and the changelog and
#                                         manual pages carry the version
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB -B "$out" --config "$1/CPackConfig.cmake" >/dev/null
deb=$(ls "$out"/*.deb)
fail() { echo "$*"; exit 1; }

contents() {
  files=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | sort | tr '\n' ' ')
  expected="./usr/bin/mirtavosken2 ./usr/bin/quembol ./usr/share/doc/weighted-graph-tools/changelog.gz \
./usr/share/doc/weighted-graph-tools/copyright ./usr/share/man/man1/mirtavosken2.1.gz ./usr/share/man/man1/quembol.1.gz "
  [ "$files" = "$expected" ] || fail "the package holds: $files"
  depends=$(dpkg-deb -f "$deb" Depends)
  case "$depends" in
    *,* | "") fail "the package depends on more or less than the C library: $depends" ;;
    libc6*) ;;
    *) fail "the package depends on: $depends" ;;
  esac
  echo "$(basename "$deb"): $files; Depends: $depends"
}

debian() {
  # Informational and pedantic tags included: the package is to show none.
  tags=$(lintian --pedantic -I -E "$deb" 2>/dev/null) || fail "lintian failed: $tags"
  [ -z "$tags" ] || fail "lintian: $tags"
  dpkg-deb -x "$deb" "$out/root"
  # Debian 12's C start-up files carry no control-flow property, so no
  # program linked there can be marked (gzip is not either): that line is
  # not held against the build, which compiles with -fcf-protection.
  report=$(hardening-check --nocfprotection "$out/root/usr/bin/mirtavosken2" "$out/root/usr/bin/quembol") ||
    fail "hardening-check: $report"
  for feature in 'Position Independent Executable' 'Stack protected' 'Fortify Source functions' \
                 'Read-only relocations' 'Immediate binding'; do
    [ "$(echo "$report" | grep -c "^ $feature: yes")" = 2 ] || fail "hardening-check: $report"
  done
  version=$(dpkg-deb -f "$deb" Version)
  [ "$(dpkg-parsechangelog -l "$source_dir/packaging/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's last entry is not version $version"
  for page in mirtavosken2 quembol; do
    grep -q "^\.TH .* \"weighted graph tools $version\"" "$source_dir/man/$page.1" || fail "$page.1 is not of version $version"
  done
  echo "$(basename "$deb"): lintian clean; hardening-check: all protections found"
}

"$2"
