// Whether the desktop's sound server takes a client now, asked of it
// directly: the question the start-up's open of a "waveaudio" device puts,
// answered without starting GStreamer (its registry and sink plugin cost
// the idle player some 7 MB and 10 ms of its start).
#pragma once

#include <chrono>

namespace hp::host {

// Connects to the PulseAudio (or PipeWire) server that a GStreamer
// pulsesink would reach (PULSE_SERVER, the client configuration, the
// session's socket) and disconnects at once. A server that does not answer
// within the wait counts as absent.
bool pulseServerReachable(std::chrono::milliseconds wait = std::chrono::milliseconds(2000));

}  // namespace hp::host
