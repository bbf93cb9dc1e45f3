#!/usr/bin/env bash
# Runs a private PulseAudio daemon in the foreground, as this process (exec):
# its only output is a null sink, its only door a unix socket, and its
# state lives in a folder of its own, so nobody's session is touched.
#   scripts/sound-server-daemon.sh <folder> <sink name> <socket path>
# Killing this process kills the server; running the script again with the
# same arguments brings it back at the same socket. Clients reach it with
# PULSE_SERVER=unix:<socket path>.
set -euo pipefail
folder=$1
sink=$2
socket=$3
mkdir -p "$folder/home" "$folder/runtime"
# -n: no default script, so nothing but these modules is loaded: no
# hardware, no session bus, no user socket.
HOME="$folder/home" XDG_CONFIG_HOME="$folder/home" PULSE_RUNTIME_PATH="$folder/runtime" \
    XDG_RUNTIME_DIR="$folder/runtime" \
    exec pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 \
    --disable-shm=yes --log-target=file:"$folder/server.log" \
    -L "module-null-sink sink_name=$sink rate=44100 channels=2" \
    -L "module-native-protocol-unix socket=$socket auth-anonymous=1"
