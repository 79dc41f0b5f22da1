#!/bin/sh
# Installs the file type XML into a scratch XDG data directory, builds the
# MIME database there and asks xdg-mime what a set of files is: only content
# starting with the "zenu" line is ours, whatever the file is called.
# Usage: check_mime_type.sh q51setup-mime.xml
# Exits 77 (skipped) when the shared-mime-info or xdg-utils tools are missing.
set -eu
xml=$1
ours=application/x-q51-configuration
system_types=/usr/share/mime/packages/freedesktop.org.xml

for tool in update-mime-database xdg-mime mimetype; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -r "$system_types" ] || { echo "SKIP: $system_types is missing"; exit 77; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/q51mime.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/data/mime/packages" "$scratch/home" "$scratch/files"
# Only the stock types and ours: an installed copy of an older XML must not
# decide the answer.
cp "$system_types" "$xml" "$scratch/data/mime/packages/"
export XDG_DATA_DIRS="$scratch/data" XDG_DATA_HOME="$scratch/home"
update-mime-database "$scratch/data/mime"

# Without a desktop session xdg-mime asks shared-mime-info (through
# mimetype), as file managers do.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID 2>/dev/null || true

failures=0
# expect (ours / other), file name, content as a printf format
while IFS='|' read -r expect name content; do
  [ -n "$name" ] || continue
  printf "$content" >"$scratch/files/$name"
  type=$(xdg-mime query filetype "$scratch/files/$name")
  got=other
  [ "$type" != "$ours" ] || got=ours
  if [ "$got" = "$expect" ]; then
    echo "ok   $name: $type"
  else
    echo "FAIL $name: $type (expected $expect)"
    failures=$((failures + 1))
  fi
done <<'CASES'
ours|x.txt|zenu\r\nDevice\r\nUser\r\n2026-01-01\r\nBench\r\n 1 \r\n 1 \r\n 191 \r\n
ours|saved-with-lf.cfg|zenu\nDevice\n
ours|no-extension|zenu\r\n 0 \r\n
other|settings.cfg|[General]\r\nname=value\r\ncount=3\r\n
other|grub.cfg|set timeout=5\nmenuentry 'Debian' {\n  linux /vmlinuz root=/dev/sda1\n}\n
other|hello.cfg|hello\n
other|upper-case.cfg|ZENU\r\n 1 \r\n
other|longer-word.cfg|zenux\r\n 1 \r\n
CASES
[ "$failures" -eq 0 ]
