#!/usr/bin/env bash
# The installer on the oldest system it is made for, as a user there meets it: a Debian 11
# system without any X11 library, and a copy of it with Xvfb and the X11 libraries every
# desktop has. Each system is laid over the cached root (overlayfs) in a mount namespace of
# its own, so the cache stays untouched; the temporary folder is a noexec mount, PATH names
# no folder (no program of the system is needed), and everything the runs write is compared
# with what they must write.
#   debian11.sh without-x11|with-x11 BIN_DIR ROOT
# Needs root (mounts, chroot); prints the reason and exits 77 (skipped) without it.
set -euo pipefail
mode=$1 bin=$2 root=$3

if [ "$(id -u)" -ne 0 ] || ! command -v unshare >/dev/null; then
  echo "skipped: needs root and unshare"
  exit 77
fi
if [ -z "${TARNW_IN_NAMESPACE:-}" ]; then
  exec unshare --mount --fork env TARNW_IN_NAMESPACE=1 "$0" "$@"
fi
mount --make-rprivate /

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnw-debian11.XXXXXX")
cleanup() {
  if [ -n "${installer_pid:-}" ]; then
    kill "$installer_pid" 2>/dev/null || true
    wait "$installer_pid" 2>/dev/null || true
  fi
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  umount -R "$work/system" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The package: a program (a script) and a manual, no licence.
mkdir -p "$work/package" "$work/upper" "$work/overlay" "$work/system"
printf '#!/bin/sh\necho "clicky runs"\n' >"$work/package/clicky"
chmod 755 "$work/package/clicky"
printf 'How to click.\n' >"$work/package/readme.txt"
cat >"$work/package/manifest.json" <<'MANIFEST'
{
  "app_name": "Clicky", "version": "2.0",
  "opt_created_folder": "Clicky", "opt_log": true,
  "groups": [{"name": "Typical", "description": "The program and its manual"}],
  "files": [{"source": "clicky", "groups": ["Typical"]},
            {"source": "readme.txt", "groups": ["Typical"]}]
}
MANIFEST
"$bin/tarnw-pack" build "$work/package/manifest.json" -o "$work/ClickyInstaller" >/dev/null
# A signed copy, and one whose last resource changed after it was signed.
"$bin/tarnw-pack" keygen -p "$work/clicky.pub" -s "$work/clicky.key" -c "Clicky Works" >/dev/null
cp "$work/ClickyInstaller" "$work/SignedClicky"
"$bin/tarnw-pack" sign "$work/SignedClicky" -s "$work/clicky.key" >/dev/null
cp "$work/SignedClicky" "$work/ChangedClicky"
# The last byte of the last resource, right before the signature block (1,024 bytes before
# the index, whose offset the 48-byte trailer holds at its byte 24).
size=$(stat -c %s "$work/ChangedClicky")
index=$(od -An -t u8 -j $((size - 48 + 24)) -N 8 "$work/ChangedClicky" | tr -d ' ')
last=$(od -An -t u1 -j $((index - 1024 - 1)) -N 1 "$work/ChangedClicky" | tr -d ' ')
printf "\\$(printf %03o $(((last + 1) % 256)))" |
  dd of="$work/ChangedClicky" bs=1 seek=$((index - 1024 - 1)) conv=notrunc status=none
cmp -s "$work/SignedClicky" "$work/ChangedClicky" && fail "the changed copy did not change"

if ! mount -t overlay overlay \
  -o "lowerdir=$root,upperdir=$work/upper,workdir=$work/overlay" "$work/system"; then
  echo "skipped: this machine cannot lay an overlay over the Debian 11 root"
  exit 77
fi
sys=$work/system
mount -t proc proc "$sys/proc"
mount -t tmpfs -o noexec,nosuid,nodev tmpfs "$sys/tmp"
mkdir -p "$sys/sandbox/home" "$sys/sandbox/prefix" "$sys/sandbox/apps" "$sys/sandbox/installer"
cp "$work/ClickyInstaller" "$work/SignedClicky" "$work/ChangedClicky" "$work/clicky.pub" \
  "$sys/sandbox/installer/"

# Runs a program in the system as a user's session would, with nothing of this machine's
# environment: $1.. the program and its arguments; extra variables before them as NAME=VALUE.
in_system() {
  chroot "$sys" /usr/bin/env -i PATH=/nonexistent HOME=/sandbox/home TMPDIR=/tmp \
    XDG_CONFIG_HOME=/sandbox/home/.config XDG_DATA_HOME=/sandbox/home/.local/share \
    XDG_CACHE_HOME=/sandbox/home/.cache XDG_STATE_HOME=/sandbox/home/.local/state \
    TARNW_PREFIX=/sandbox/prefix TARNW_SHUTDOWN_COMMAND=/bin/true TARNW_OPEN_COMMAND=/bin/true \
    LANG=C "$@"
}
# Runs and keeps the status and the output (standard output and error together).
run() {
  set +e
  output=$(in_system "$@" 2>&1)
  status=$?
  set -e
}
expect_status() {
  [ "$status" -eq "$1" ] || fail "$2: status $status, not $1: $output"
}
expect_output() {
  case "$output" in
  *"$1"*) ;;
  *) fail "$2: the output does not say \"$1\": $output" ;;
  esac
}

installer=/sandbox/installer/ClickyInstaller
folder=/sandbox/apps/Clicky
deinstaller="$folder/Clicky 2.0 Deinstaller"

if [ "$mode" = without-x11 ]; then
  # No X11 library at all: the program must not need one to load.
  if compgen -G "$sys/usr/lib/x86_64-linux-gnu/libX11.so*" >/dev/null; then
    fail "the system has libX11; this test wants one without"
  fi

  run "$installer" --help
  expect_status 0 "--help"
  expect_output "--frontend" "--help"
  run "$installer" --version
  expect_status 0 "--version"
  run "$installer" --info
  expect_status 0 "--info"
  expect_output "Clicky" "--info"
  run "$installer" --list
  expect_status 0 "--list"
  expect_output "readme.txt" "--list"
  run "$installer" --check
  expect_status 0 "--check"
  expect_output "Signed by: not signed" "--check"

  # The signature is checked with the system's own C library and nothing else installed.
  run /sandbox/installer/SignedClicky --check --verify-key /sandbox/installer/clicky.pub
  expect_status 0 "--check --verify-key of a signed installer"
  expect_output "Signed by: Clicky Works (key" "--check --verify-key of a signed installer"
  run /sandbox/installer/ChangedClicky --check
  expect_status 9 "--check of a signed installer changed after signing"
  expect_output "signature does not match" "--check of a signed installer changed after signing"
  run "$installer" --check --verify-key /sandbox/installer/clicky.pub
  expect_status 9 "--check --verify-key of an unsigned installer"

  # The window asked for: which library is missing, in the user's language, status 10 and
  # nothing written.
  before=$(cd "$sys" && find sandbox tmp -printf '%p %s %m\n' | sort)
  run DISPLAY=:7 "$installer" --frontend gui --target /sandbox/apps
  expect_status 10 "the window without its libraries"
  expect_output "the library libX" "the window without its libraries"
  run DISPLAY=:7 LANG=de_DE.UTF-8 TARNW_FRONTEND=gui "$installer" --target /sandbox/apps
  expect_status 10 "the window without its libraries, in German"
  expect_output "die Bibliothek libX" "the window without its libraries, in German"
  run TARNW_FRONTEND=gui "$installer" --target /sandbox/apps
  expect_status 10 "the window without a display"
  expect_output "DISPLAY is not set" "the window without a display"
  after=$(cd "$sys" && find sandbox tmp -printf '%p %s %m\n' | sort)
  [ "$before" = "$after" ] || fail "a refused window wrote: $(diff <(echo "$before") <(echo "$after"))"

  # A display named but no window possible: chosen by itself, the front-end is unattended,
  # and the installation completes.
  run DISPLAY=:7 "$installer" --target /sandbox/apps </dev/null
  expect_status 0 "an unattended installation"
  [ -x "$sys$folder/clicky" ] || fail "the program was not installed"
  [ "$(cat "$sys$folder/readme.txt")" = "How to click." ] || fail "the manual was not installed"
  [ -x "$sys$deinstaller" ] || fail "the deinstaller was not placed"
  [ -z "$(ls -A "$sys/tmp")" ] || fail "the run left files in the temporary folder: $(ls -A "$sys/tmp")"

  run /bin/sh "$folder/clicky"
  expect_status 0 "the installed program"
  expect_output "clicky runs" "the installed program"

  run "$deinstaller" --help
  expect_status 0 "the deinstaller's --help"
  run DISPLAY=:7 "$deinstaller" --yes
  expect_status 0 "the deinstaller"
  [ ! -e "$sys$folder" ] || fail "the deinstaller left $(ls -A "$sys$folder")"
  echo "Debian 11 without X11: options, check, refused window, unattended install, run, removal: passed"
  exit 0
fi

# With Xvfb and the X11 libraries: the window opens and an installation is clicked through.
[ -x "$sys/usr/bin/Xvfb" ] && [ -x "$sys/usr/bin/xdotool" ] || fail "the system has no Xvfb or xdotool"
mkdir -p "$sys/tmp/.X11-unix"
chmod 1777 "$sys/tmp/.X11-unix"
exec 3>"$work/display"
chroot "$sys" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/sandbox/home \
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
display=:$(head -n 1 "$work/display")

xdotool() {
  chroot "$sys" /usr/bin/env -i PATH=/usr/bin:/bin DISPLAY="$display" xdotool "$@"
}
# Waits for a visible window whose name is exactly $1 and prints its id.
wait_for_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

in_system DISPLAY="$display" TARNW_FRONTEND=gui TARNW_TRANSCRIPT=/sandbox/transcript \
  "$installer" --target /sandbox/apps >"$work/installer.log" 2>&1 &
installer_pid=$!
window=$(wait_for_window ClickyInstaller) || fail "the window did not open: $(cat "$work/installer.log")"
# Install (the one button, bottom right), then OK in the completion alert.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --sync $((X + 377)) $((Y + 233)) click 1
alert=$(wait_for_window Clicky) || fail "no completion alert: $(cat "$work/installer.log")"
xdotool windowfocus --sync "$alert" key Return
set +e
wait "$installer_pid"
status=$?
set -e
installer_pid=
[ "$status" -eq 0 ] || fail "the clicked installation ended with $status: $(cat "$work/installer.log")"
[ -x "$sys$folder/clicky" ] || fail "the clicked installation did not place the program"
grep -q '"Installation successfully completed."' "$sys/sandbox/transcript" ||
  fail "the transcript does not tell the completion: $(cat "$sys/sandbox/transcript")"
echo "Debian 11 with Xvfb and the X11 libraries: the window opened and installed: passed"
