#!/usr/bin/env bash
# scripts/setup takes what it is for: the demo's part leaves the test tool
# chain out, and everything holds the demo's part.
set -euo pipefail
setup=$1
demo=$("$setup" demo --list)
all=$("$setup" all --list)
status=0
for p in wine wine64 lintian clang g++-mingw-w64-x86-64-posix poppler-utils; do
  if grep -qx "$p" <<<"$demo"; then echo "demo part installs $p"; status=1; fi
  if ! grep -qx "$p" <<<"$all"; then echo "all lacks $p"; status=1; fi
done
for p in qt6-base-dev cmake xvfb; do
  grep -qx "$p" <<<"$demo" || { echo "demo part lacks $p"; status=1; }
done
while read -r p; do
  grep -qx "$p" <<<"$all" || { echo "all lacks the demo's $p"; status=1; }
done <<<"$demo"
exit "$status"
