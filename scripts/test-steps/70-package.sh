# The Debian package, made by cpack from the normal build (the release package is made the same way from a
# Release build): lintian finds no error, no warning and none of its hardening notes, and the package holds
# the manual page, the shell completion, the copyright file and the changelog.
set -euo pipefail
if ! command -v lintian >/dev/null || ! command -v cpack >/dev/null; then
  echo "lintian is not installed: the package check is skipped"
  exit 0
fi
rm -f build/tessarine_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/tessarine_*.deb)
lintian -I --fail-on error,warning "$deb" | tee build/lintian.log
if grep -E '^[EWI]: .*hardening' build/lintian.log; then
  echo "lintian finds the binary not hardened" >&2
  exit 1
fi
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/tessarine usr/share/man/man1/tessarine.1.gz usr/share/bash-completion/completions/tessarine \
  usr/share/doc/tessarine/copyright usr/share/doc/tessarine/changelog.gz; do
  if ! grep -q " \./$file\$" <<<"$contents"; then
    echo "the package lacks /$file" >&2
    exit 1
  fi
done
echo "package: $(basename "$deb"), lintian clean"
