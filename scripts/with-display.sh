#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb, 1280x1024, 24-bit), so that
# window tests never touch the user's desktop. DISPLAY is set for the
# command; the server goes away with it.
#   scripts/with-display.sh <command> [args...]
set -euo pipefail

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "error: Xvfb is not installed (scripts/install-deps.sh test)" >&2
    exit 1
fi

# The first free display number from 90 up.
display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
done

Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp -ac >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
# A signal ends the script through its EXIT trap (after the command in hand
# returns), so the server never outlives it.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display}" ] && break
    sleep 0.1
done
if ! [ -e "/tmp/.X11-unix/X${display}" ]; then
    echo "error: Xvfb did not start on :${display}" >&2
    exit 1
fi

export DISPLAY=":${display}"
export NO_AT_BRIDGE=1          # no accessibility bus on a private server
export GDK_BACKEND=x11
"$@"
