#!/usr/bin/env bash
# Makes the Debian package from this build, unpacks it into a temporary root
# with dpkg-deb -x, and starts the unpacked program offscreen with a temporary
# HOME: it must make the user's data folder and show the start-up page there,
# writing nothing into the installation. Lintian must find no error and no
# warning in it.
set -euo pipefail
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (./build.sh test installs it)"; exit 77; }
done
fail() { echo "FAIL: $*"; [ -f "$tmp/run.log" ] && tail -20 "$tmp/run.log"; exit 1; }
tmp=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb"): Depends: $depends"
for lib in libqt6webenginecore6 libqt6widgets6 libsqlite3; do
  [[ $depends == *"$lib"* ]] || fail "the dependencies lack $lib (shlibdeps)"
done
[[ $depends == *qt6-translations-l10n* ]] || fail "the dependencies lack Qt's translations"

# No tag is suppressed: lintian's complaint about running as root goes to
# stderr and is not a tag. The exit status also catches lintian itself failing.
lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log"; fail "lintian"; }
if grep -E '^(E|W): ' "$tmp/lintian.log"; then fail "lintian reports errors or warnings"; fi

root=$tmp/root
dpkg-deb -x "$deb" "$root"
for f in bin/quillora share/quillora/exam.db share/quillora/css/Main.css share/quillora/css/gg1bk.html \
         share/quillora/css/BaoKao/baokao.html share/quillora/images/dot.gif \
         share/applications/org.quillora.Quillora.desktop share/metainfo/org.quillora.Quillora.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.quillora.Quillora.svg \
         share/icons/hicolor/48x48/apps/org.quillora.Quillora.png; do
  [ -f "$root/usr/$f" ] || fail "the package lacks /usr/$f"
done
[ -x "$root/usr/bin/quillora" ] || fail "the program is not executable"
[ ! -e "$root/usr/share/quillora/css/Question.html" ] || fail "a generated page was packaged"
cmp -s "$root/usr/share/quillora/exam.db" "$build/dist/exam.db" || fail "the packaged bank is not the pristine one"

home=$tmp/home
data=$home/.local/share/Quillora
mkdir -p "$home"
touch "$tmp/started"
sleep 1
(
  cd "$tmp"
  unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
  export HOME="$home" QT_QPA_PLATFORM=offscreen
  export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}"
  exec "$root/usr/bin/quillora"
) >"$tmp/run.log" 2>&1 &
pid=$!

# The start-up page is the question page of the tree's third node.
for _ in $(seq 1 120); do
  [ -s "$data/css/Question.html" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended during start-up"
  sleep 0.5
done
[ -s "$data/css/Question.html" ] || fail "no start-up page in $data after 60 s"
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the program ended after writing its start-up page"
grep -q "function showAllAnswer" "$data/css/Question.html" || fail "the start-up page is not a question page"
for f in exam.db css/Main.css css/gg1bk.html css/BaoKao/baokao.html images/MainBackground.gif; do
  [ -f "$data/$f" ] || fail "the user's folder lacks $f"
done
# The guard closes the bank again after connecting: the copy is byte for byte the shipped one.
cmp -s "$data/exam.db" "$root/usr/share/quillora/exam.db" || fail "the user's bank was left open or changed"
[ ! -e "$data/temp.db" ] || fail "temp.db outlived start-up"
written=$(find "$root" -newer "$tmp/started")
[ -z "$written" ] || fail "the program wrote into its installation: $written"
echo "the unpacked program started and works in $data"

stop() { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; pid=; }
stop
# The same files as a portable copy on a read-only medium, started by the same
# user: it works in the user's folder again and keeps what the user changed there.
if unshare -m true 2>/dev/null; then
  portable=$tmp/portable
  mkdir -p "$portable"
  cp -a "$root/usr/bin/quillora" "$root/usr/share/quillora/." "$portable/"
  printf 'mine' >"$data/css/gg2bk.html"
  rm "$data/css/Question.html"
  touch "$tmp/again"
  sleep 1
  (
    cd "$tmp"
    unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
    export HOME="$home" QT_QPA_PLATFORM=offscreen
    export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}"
    exec unshare -m sh -c 'mount --bind -o ro "$1" "$1" && exec "$1/quillora"' _ "$portable"
  ) >"$tmp/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 120); do
    [ -s "$data/css/Question.html" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the read-only copy ended during start-up"
    sleep 0.5
  done
  [ -s "$data/css/Question.html" ] || fail "the read-only copy showed no start-up page in $data"
  [ "$(cat "$data/css/gg2bk.html")" = mine ] || fail "a later start overwrote the user's page"
  written=$(find "$portable" -newer "$tmp/again")
  [ -z "$written" ] || fail "the read-only copy wrote beside itself: $written"
  stop
  echo "a read-only portable copy works in $data too"
else
  echo "(no mount namespace here: the read-only copy is not tried)"
fi
