#!/usr/bin/env bash
# Runs a command with a private sound server: a PulseAudio daemon of its own,
# whose only output is a null sink, reachable through a socket in a
# temporary folder. The user's session (its server, its cookie, its
# settings) is never touched, and it works as root (CI) as well as a user.
#   scripts/with-sound-server.sh <command> [args...]
#
# The command sees:
#   PULSE_SERVER, PULSE_CLIENTCONFIG   the private server (autospawn off)
#   HOLLYPHONE_SOUND_SERVER=private    sound tests run only when this is set
#   HOLLYPHONE_TEST_SINK               the null sink (record "<sink>.monitor")
#   HOLLYPHONE_SOUND_LOCK              a lock file: a test holds it while it
#                                      plays, so tests run side by side never
#                                      hear each other
# Without pulseaudio installed, or when it does not start, the command still
# runs, pointed at no server, and the sound tests skip themselves.
set -euo pipefail

workdir=$(mktemp -d "${TMPDIR:-/tmp}/hollyphone-sound.XXXXXX")
server=
keepalive=
cleanup() {
    for process in $keepalive $server; do
        kill "$process" 2>/dev/null || true
        wait "$process" 2>/dev/null || true
    done
    rm -rf "$workdir"
}
trap cleanup EXIT
# A signal ends the script through its EXIT trap (after the command in hand
# returns), so the server never outlives it.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

sink=hollyphone_test
socket="$workdir/native"
printf 'autospawn = no\n' >"$workdir/client.conf"
export PULSE_CLIENTCONFIG="$workdir/client.conf"
export PULSE_SERVER="unix:$socket"
unset PULSE_SINK PULSE_SOURCE

if command -v pulseaudio >/dev/null 2>&1; then
    "$(dirname "$0")/sound-server-daemon.sh" "$workdir" "$sink" "$socket" &
    server=$!
    for _ in $(seq 1 100); do
        if [ -S "$socket" ] && pactl info >/dev/null 2>&1; then
            export HOLLYPHONE_SOUND_SERVER=private
            export HOLLYPHONE_TEST_SINK=$sink
            export HOLLYPHONE_SOUND_LOCK="$workdir/sound.lock"
            break
        fi
        if ! kill -0 "$server" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    if [ -n "${HOLLYPHONE_SOUND_SERVER:-}" ]; then
        # An idle null sink renders two seconds ahead, so a new stream would
        # be heard that late. A silent stream with a short latency keeps it
        # rendering in small steps, as a sound card would; wait until the
        # idle lead has drained.
        pacat --latency-msec=20 --raw --format=s16le --rate=44100 --channels=2 \
            -d "$sink" /dev/zero &
        keepalive=$!
        for _ in $(seq 1 50); do
            latency=$(pactl list sinks | sed -n 's/^[[:space:]]*Latency: \([0-9]*\) usec.*/\1/p' |
                head -n1)
            if [ -n "$latency" ] && [ "$latency" -lt 100000 ]; then
                break
            fi
            sleep 0.1
        done
    fi
    if [ -z "${HOLLYPHONE_SOUND_SERVER:-}" ]; then
        echo "warning: the private sound server did not start; sound tests will skip" >&2
        cat "$workdir/server.log" >&2 2>/dev/null || true
    fi
else
    echo "warning: pulseaudio is not installed; sound tests will skip" >&2
fi

"$@"
