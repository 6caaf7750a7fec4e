#!/usr/bin/env bash
# Builds the Debian package from a release build folder and checks it as a
# user's machine would meet it: lintian, the desktop entry and AppStream data
# validated, the package unpacked into a scratch root, the installed
# trovlin-cli converting every sample to the same bytes as the build's, and
# the installed window starting under Xvfb.
#   scripts/test_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
samples=$(cd "$(dirname "$0")/../samples" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

fail() {
  echo "package: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack failed"
deb=$(ls "$build"/trovlin_*_amd64.deb)
lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian reports errors or warnings"

dpkg -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >/dev/null || fail "the AppStream data is not valid"

checked=0
for log in "$samples"/*.log; do
  expected=$("$build/src/cli/trovlin-cli" convert "$log" -o - 2>/dev/null | od -An -tx1 | md5sum)
  installed=$("$root/usr/bin/trovlin-cli" convert "$log" -o - 2>/dev/null | od -An -tx1 | md5sum)
  [ "$expected" = "$installed" ] || fail "the installed trovlin-cli writes other bytes for $(basename "$log")"
  checked=$((checked + 1))
done

# The window runs until it is closed: still running after a few seconds is a start.
status=0
timeout 5 xvfb-run -a "$root/usr/bin/trovlin" "$samples/stn_sample.log" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the installed window did not start (exit $status)"

echo "package: $(basename "$deb") lintian-clean; $checked samples converted alike by the installed trovlin-cli; the window starts"
