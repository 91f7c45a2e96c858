#!/usr/bin/env bash
# CI: builds the Debian package, checks it with lintian, installs it as a workshop
# would (apt-get install ./build-package/vapora_*.deb) and checks the installed
# product: the tool's version, a unit on a pseudo-terminal through the installed
# link library, the installed program's first start with a fresh HOME, the message
# for a user outside the dialout group, the desktop entry and the file type; then
# removes the package and finds the user's folder still there. Runs as root.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
if [ "$(id -u)" -ne 0 ]; then
  echo "package-check: must run as root (it installs the package and adds a user)" >&2
  exit 1
fi

bash scripts/package.sh
bash scripts/install-deps.sh lintian desktop-file-utils xvfb xauth openbox xdotool imagemagick passwd util-linux
deb=$(ls build-package/vapora_*.deb | head -n 1)
version=$(dpkg-deb -f "$deb" Version)
work=$(mktemp -d /tmp/vapora-package-check.XXXXXX)
chmod 755 "$work"
checker=vaporacheck
unit_pid=""
added_user=""

fail() { echo "package-check: $*" >&2; exit 1; }
cleanup() {
  [ -n "$unit_pid" ] && kill "$unit_pid" 2>/dev/null || true
  [ -n "$added_user" ] && userdel "$checker" 2>/dev/null || true
  dpkg -r vapora >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== contents"
dpkg-deb -I "$deb" | sed -n '/Package:/,$p'
dpkg-deb -c "$deb"

echo "== lintian"
# Errors fail the step; what remains is printed with the reason in the README.
lintian --fail-on error --display-info "$deb"

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq "./$deb"
for f in /usr/bin/vapora /usr/bin/vapora-tool /usr/bin/vapora-virtual-unit /usr/lib/x86_64-linux-gnu/vapora/libSerNoxDL.so \
         /usr/share/vapora/DizVapora.dbf /usr/share/vapora/guide/it/index.md /usr/share/vapora/guide/en/index.md \
         /usr/share/man/man1/vapora.1.gz /usr/share/applications/vapora.desktop; do
  [ -e "$f" ] || fail "$f is not installed"
done

echo "== vapora-tool --version"
out=$(vapora-tool --version)
echo "$out"
[ "$out" = "vapora-tool $version" ] || fail "expected 'vapora-tool $version'"

echo "== the installed link library against the installed virtual unit"
vapora-virtual-unit >"$work/unit.out" 2>&1 &
unit_pid=$!
for _ in $(seq 1 50); do
  pty=$(grep -o '/dev/pts/[0-9]*' "$work/unit.out" | head -n 1 || true)
  [ -n "$pty" ] && break
  sleep 0.2
done
[ -n "${pty:-}" ] || fail "the virtual unit printed no terminal: $(cat "$work/unit.out")"
set +e
home="$work/root-home"
mkdir -p "$home"
HOME="$home" vapora-tool unit info --quiet >"$work/none.out" 2>&1
status=$?
set -e
cat "$work/none.out"
[ "$status" -eq 2 ] && grep -q "no serial port is chosen" "$work/none.out" ||
  fail "without a chosen port the installed tool must say so and exit 2 (got $status)"
HOME="$home" vapora-tool unit info --link "serial:$pty" --quiet
HOME="$home" vapora-tool unit read "$work/car.vap" --link "serial:$pty" --quiet
HOME="$home" vapora-tool show "$work/car.vap" >"$work/show.out"
head -n 4 "$work/show.out"
HOME="$home" vapora-tool unit ports

echo "== a user outside the dialout group"
if ! id "$checker" >/dev/null 2>&1; then
  useradd --no-create-home --shell /usr/sbin/nologin "$checker"
  added_user=yes
fi
id -nG "$checker" | grep -qw dialout && fail "$checker must not be in the dialout group"
chgrp dialout "$pty"
chmod 660 "$pty"
for lang in C it_IT.UTF-8; do
  set +e
  LANG=$lang HOME="$work" runuser -u "$checker" -- vapora-tool unit info --link "serial:$pty" >"$work/dialout.out" 2>&1
  status=$?
  set -e
  cat "$work/dialout.out"
  [ "$status" -eq 2 ] || fail "a port closed to the user must exit 2 (got $status)"
  grep -q "dialout" "$work/dialout.out" && grep -q "sudo adduser $checker dialout" "$work/dialout.out" ||
    fail "the message must name the dialout group and how to join it"
done
grep -q "gruppo dialout" "$work/dialout.out" || fail "the Italian locale must get the Italian message"
kill "$unit_pid" 2>/dev/null || true
unit_pid=""

echo "== desktop entry and file type"
desktop-file-validate /usr/share/applications/vapora.desktop
grep -q "application/x-vapora-configuration:\*\.vap" /usr/share/mime/globs2 || fail "*.vap is not a known file type"
grep -q "application/x-vapora-configuration=vapora.desktop" /usr/share/applications/mimeinfo.cache ||
  fail "the program is not the handler of configuration files"

echo "== first start of the installed program with a fresh HOME"
user_home="$work/home"
mkdir -p "$user_home"
shots=${VAPORA_SHOTS:-$work}
# The first start shows the settings message, the no-unit message and the fuel choice:
# each is answered with Enter until the main window is the active one.
HOME="$user_home" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  openbox >/dev/null 2>&1 &
  sleep 1
  cd "$HOME"
  vapora >"$HOME/vapora.out" 2>&1 &
  program=$!
  main=""
  for _ in $(seq 1 90); do
    sleep 1
    kill -0 $program 2>/dev/null || break
    active=$(xdotool getactivewindow getwindowname 2>/dev/null || true)
    if [ "$active" = "Vapora Murazzoni" ]; then main=yes; break; fi
    echo "answering: ${active:-nothing active}"
    [ -n "$active" ] && xdotool key Return
  done
  import -window root "'"$shots"'/installed-first-start.png" || true
  [ -n "$main" ] || { echo "the main window did not come up"; cat "$HOME/vapora.out"; kill $program; exit 1; }
  xdotool key ctrl+q
  for _ in $(seq 1 20); do kill -0 $program 2>/dev/null || break; sleep 0.5; done
  kill $program 2>/dev/null && { echo "the program did not close"; exit 1; }
  exit 0
'
folder="$user_home/.local/share/Vapora"
[ -f "$folder/DizVapora.dbf" ] && [ -f "$folder/.vapora-template.sha256" ] ||
  fail "the first start did not make the user's main folder $folder"
(cd "$folder" && sha256sum --quiet -c .vapora-template.sha256) || fail "the manifest does not match the folder"
[ ! -e "$folder/guide" ] || fail "the guide is read where it is installed, not copied into the user's folder"
grep -q "^Link=" "$user_home/.config/Murazzoni/Vapora.conf" && fail "no port was chosen, yet one is stored"
grep -q "^Language=" "$user_home/.config/Murazzoni/Vapora.conf" || fail "the settings were not written at the end"

echo "== remove"
dpkg -r vapora
[ ! -e /usr/bin/vapora ] || fail "dpkg -r left the program"
[ -f "$folder/DizVapora.dbf" ] || fail "dpkg -r removed the user's folder"

echo "package check passed in $(( $(date +%s) - started )) s"
