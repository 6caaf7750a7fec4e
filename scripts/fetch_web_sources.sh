#!/usr/bin/env bash
# Fetches the Debian source packages of libxlsxwriter and zlib, at the
# versions installed for the desktop build, and unpacks them into
# build-web/sources/{libxlsxwriter,zlib}, for the page's workbooks. apt
# works here in a folder of its own (build-web/apt), with the machine's
# package sources read as source-package sources, so the machine's apt
# setup is left as it is. Does nothing when both are already unpacked.
set -euo pipefail
cd "$(dirname "$0")/.."
sources=$PWD/build-web/sources
[ -f "$sources/libxlsxwriter/include/xlsxwriter.h" ] && [ -f "$sources/zlib/zlib.h" ] && exit 0

apt=$PWD/build-web/apt
rm -rf "$apt" "$sources"
mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/archives/partial" "$sources"
shopt -s nullglob
for f in /etc/apt/sources.list.d/*.sources; do
  sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/parts/$(basename "$f")"
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] && sed -n 's/^deb /deb-src /p' "$f" >"$apt/parts/$(basename "$f")"
done
options=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/parts"
  -o Dir::State::Lists="$apt/lists" -o Dir::Cache::Archives="$apt/archives" -o APT::Sandbox::User=root)
apt-get "${options[@]}" update -qq

version() { dpkg-query -W -f='${source:Version}' "$1"; }
cd "$apt"
apt-get "${options[@]}" source --download-only -qq \
  "libxlsxwriter=$(version libxlsxwriter-dev)" "zlib=$(version zlib1g-dev)" >/dev/null
dpkg-source -x --no-check libxlsxwriter_*.dsc "$sources/libxlsxwriter" >/dev/null
dpkg-source -x --no-check zlib_*.dsc "$sources/zlib" >/dev/null
