#!/usr/bin/env bash
# The launcher and the metainfo as the desktop's own validators read them, and
# the names by which they, the icons and the program find each other.
set -euo pipefail
dir=$1
id=org.quillora.Quillora
for tool in desktop-file-validate appstreamcli python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (./build.sh test installs it)"; exit 77; }
done
fail() { echo "FAIL: $*"; exit 1; }

# Warnings count as failures: a launcher the desktop half understands is broken.
out=$(desktop-file-validate "$dir/$id.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$dir/$id.metainfo.xml" || fail "appstreamcli rejects the metainfo"

desktop=$dir/$id.desktop
grep -qx "Icon=$id" "$desktop" || fail "the launcher's icon is not $id"
grep -qx "Exec=quillora" "$desktop" || fail "the launcher does not start quillora"
grep -q '^Categories=.*Education;' "$desktop" || fail "not in the Education category"
grep -q '^Name\[zh_CN\]=' "$desktop" && grep -q '^Comment\[zh_CN\]=' "$desktop" || fail "no Chinese name or comment"
grep -q "<id>$id</id>" "$dir/$id.metainfo.xml" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$dir/$id.metainfo.xml" || fail "metainfo launchable"
grep -q '<screenshot type="default">' "$dir/$id.metainfo.xml" || fail "no default screenshot"

# Each PNG is the size its hicolor folder will claim, square and with transparency.
[ -s "$dir/icons/$id.svg" ] || fail "no scalable icon"
python3 - "$dir/icons" <<'PY'
import struct, sys
for size in (16, 22, 24, 32, 48, 64, 128, 256):
    with open(f"{sys.argv[1]}/{size}.png", "rb") as f:
        head = f.read(26)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"FAIL: {size}.png is not a PNG")
    w, h = struct.unpack(">II", head[16:24])
    if (w, h) != (size, size):
        sys.exit(f"FAIL: {size}.png is {w}x{h}")
    if head[25] not in (4, 6):
        sys.exit(f"FAIL: {size}.png has no alpha channel")
PY
echo "launcher, metainfo and icons are valid"
