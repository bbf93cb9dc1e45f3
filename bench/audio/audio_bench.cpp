// Sound benchmarks, on the private sound server of
// scripts/with-sound-server.sh (scripts/bench.sh starts it):
//
//   audio_bench              latency, level, then cpu 30
//   audio_bench latency      play to first sound, median of 10 runs, from the
//                            player's play (open + play) and from MCI_PLAY,
//                            for an MP3 and for a MIDI file
//   audio_bench level        MIDI loudness with the MIDI gauge full: piano
//                            chords at velocity 100 (RMS, dBFS) and the peak
//                            of a 16-note chord at velocity 127
//   audio_bench cpu SECONDS  CPU seconds to play SECONDS of MP3 and of MIDI,
//                            beside gst-launch-1.0 playbin playing the same
//                            files to the same sink; peak resident memory
//   audio_bench play FILE    (used by "cpu") plays one file to its end
//                            through mciSendCommandA and the real drivers
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/gst_audio_engine.h"
#include "platform/win32.h"
#include "platform/winmm/mci_cd_driver.h"
#include "platform/winmm/mci_stream_driver.h"
#include "platform/winmm/output_mixer.h"
#include "tests/sound_real/signal_analysis.h"
#include "tests/sound_real/sound_server.h"
#include "tests/sound_real/test_media.h"

extern char **environ;

namespace {

using namespace hp::soundtest;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int latencyRuns = 10;

void installRealDrivers()
{
    auto engine = hp::host::makeGstAudioEngine();
    auto drivers = hp::winmm::makeStreamMciDrivers(engine);
    drivers.push_back(hp::winmm::makeCdMciDriver(engine));
    hp::winmm::installMciDrivers(std::move(drivers));
    hp::winmm::installMixerBackend(std::make_unique<hp::winmm::OutputMixer>(nullptr));
}

// The player's open of a file: MCI_OPEN by element, milliseconds.
MCIDEVICEID openFile(const std::string &path)
{
    MCI_OPEN_PARMSA open{};
    open.lpstrElementName = path.c_str();
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return 0;
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    mciSendCommandA(open.wDeviceID, MCI_SET, MCI_SET_TIME_FORMAT,
                    reinterpret_cast<DWORD_PTR>(&set));
    return open.wDeviceID;
}

void playFromStart(MCIDEVICEID device)
{
    MCI_PLAY_PARMS play{};
    mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
}

DWORD mode(MCIDEVICEID device)
{
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
    return static_cast<DWORD>(status.dwReturn);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Milliseconds from the call to the arrival of the first loud sample at the
// recorder, which reads the sink's monitor in 10 ms pieces.
double firstSoundAfter(MonitorRecorder &recorder, const std::function<void()> &start)
{
    const auto called = Clock::now();
    start();
    std::this_thread::sleep_for(700ms);
    const std::vector<int16_t> recorded = recorder.stop();
    // Only what arrived after the call counts: the sink may still hand out
    // the tail of an earlier run.
    for (size_t frame = 0; frame < recorded.size(); ++frame) {
        if (std::abs(static_cast<int>(recorded[frame])) > 300 &&
            recorder.arrivalOf(frame) > called)
            return std::chrono::duration<double, std::milli>(recorder.arrivalOf(frame) - called)
                .count();
    }
    return -1.0;
}

int latencyOf(const char *what, const std::string &mp3)
{
    const std::string sink = std::getenv("HOLLYPHONE_TEST_SINK");
    std::vector<double> fromOpen, fromPlay;
    for (int run = 0; run < latencyRuns; ++run) {
        // Open and play, as the player's play does.
        MCIDEVICEID device = 0;
        MonitorRecorder first(sink);
        if (!first.start())
            return 1;
        fromOpen.push_back(firstSoundAfter(first, [&] {
            device = openFile(mp3);
            playFromStart(device);
        }));
        mciSendCommandA(device, MCI_CLOSE, MCI_WAIT, 0);
        std::this_thread::sleep_for(300ms);

        // MCI_PLAY alone, on a device opened before.
        device = openFile(mp3);
        std::this_thread::sleep_for(300ms);
        MonitorRecorder second(sink);
        if (!second.start())
            return 1;
        fromPlay.push_back(firstSoundAfter(second, [&] { playFromStart(device); }));
        mciSendCommandA(device, MCI_CLOSE, MCI_WAIT, 0);
        std::this_thread::sleep_for(300ms);
    }
    for (double value : fromOpen)
        if (value < 0)
            std::printf("a run was not heard\n");
    std::printf("%s play to sound (open + play): median %.1f ms over %d runs (min %.1f, max %.1f)\n",
                what, median(fromOpen), latencyRuns, *std::min_element(fromOpen.begin(), fromOpen.end()),
                *std::max_element(fromOpen.begin(), fromOpen.end()));
    std::printf("%s play to sound (MCI_PLAY):    median %.1f ms over %d runs (min %.1f, max %.1f)\n",
                what, median(fromPlay), latencyRuns, *std::min_element(fromPlay.begin(), fromPlay.end()),
                *std::max_element(fromPlay.begin(), fromPlay.end()));
    std::printf("%s goal: 150 ms or less -> %s\n", what,
                median(fromOpen) <= 150.0 ? "met" : "NOT met");
    return 0;
}

int latency()
{
    TempFolder folder;
    const std::string mp3 = folder.pathOf("tone.mp3");
    std::string why;
    if (!writeToneMp3(mp3, {{1000.0, 1.0}}, BitRate::Constant, why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    const std::string midi = folder.pathOf("chord.mid");
    writeMidiChords(midi, {{{60, 64, 67}, 1.0}});
    installRealDrivers();
    return latencyOf("MP3: ", mp3) | latencyOf("MIDI:", midi);
}

// What a MIDI file sounds like with the MIDI gauge full, recorded.
std::vector<int16_t> recordMidi(const std::string &path, std::chrono::milliseconds length)
{
    const auto engine = hp::host::makeGstAudioEngine();
    hp::winmm::AudioSource source;
    source.kind = hp::winmm::AudioSource::Kind::MidiFile;
    source.line = hp::winmm::AudioLine::Synth;
    source.hostPath = path;
    std::unique_ptr<hp::winmm::AudioStream> stream;
    if (engine->open(source, {1.0, 1.0}, stream) != 0)
        return {};
    MonitorRecorder recorder(std::getenv("HOLLYPHONE_TEST_SINK"));
    if (!recorder.start())
        return {};
    stream->play(std::nullopt, std::nullopt);
    std::this_thread::sleep_for(length);
    return recorder.stop();
}

double dbfs(double level) { return 20.0 * std::log10(level / 32768.0); }

int level()
{
    TempFolder folder;
    const std::string chords = folder.pathOf("chords.mid");
    writeMidiChords(chords, {{{60, 64, 67, 72}, 1.0}, {{53, 57, 60, 65}, 1.0},
                             {{55, 59, 62, 67}, 1.0}, {{60, 64, 67, 72}, 1.0}});
    const std::vector<int16_t> piano = recordMidi(chords, 5000ms);
    const SoundSpan span = findSound(piano);
    if (!span.found) {
        std::printf("MIDI level: nothing was heard\n");
        return 1;
    }
    const double rms = dbfs(rmsLevel(piano, span.first, span.last - span.first));
    std::printf("MIDI level: piano chords at velocity 100, MIDI gauge full: %.1f dBFS RMS "
                "(goal -20 to -12 dBFS) -> %s\n",
                rms, rms >= -20.0 && rms <= -12.0 ? "met" : "NOT met");

    const std::string loud = folder.pathOf("sixteen.mid");
    writeMidiChords(loud, {{{36, 40, 43, 48, 52, 55, 60, 64, 67, 72, 76, 79, 84, 88, 91, 96},
                            2.0, 127}});
    const std::vector<int16_t> chord = recordMidi(loud, 3000ms);
    int peak = 0;
    for (int16_t sample : chord)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    std::printf("MIDI level: a 16-note chord at velocity 127 peaks at %.1f dBFS (goal below "
                "full scale) -> %s\n",
                dbfs(peak), peak < 32767 ? "met" : "NOT met");
    return 0;
}

int playToEnd(const std::string &path)
{
    installRealDrivers();
    const MCIDEVICEID device = openFile(path);
    if (!device)
        return 1;
    playFromStart(device);
    while (mode(device) == MCI_MODE_PLAY)
        std::this_thread::sleep_for(50ms);
    mciSendCommandA(device, MCI_CLOSE, MCI_WAIT, 0);
    return 0;
}

struct ChildCost {
    double cpuSeconds = 0.0;
    double wallSeconds = 0.0;
    long peakKilobytes = 0;
    bool ok = false;
};

ChildCost runChild(std::vector<std::string> arguments)
{
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ChildCost cost;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return cost;
    cost.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    cost.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                      usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    cost.peakKilobytes = usage.ru_maxrss;
    cost.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return cost;
}

// A piece of the given length: chords that change every half second.
void writeBusyMidi(const std::string &path, int seconds)
{
    std::vector<MidiNote> notes;
    const int keys[] = {60, 64, 67, 72, 65, 69, 62, 71};
    for (int i = 0; i < seconds * 2; ++i)
        notes.push_back({keys[i % 8], 0.5});
    writeMidiFile(path, notes, 0);
}

int cpu(const char *self, int seconds)
{
    TempFolder folder;
    const std::string mp3 = folder.pathOf("music.mp3");
    const std::string midi = folder.pathOf("music.mid");
    std::vector<ToneSegment> segments;
    for (int i = 0; i < seconds; ++i)
        segments.push_back({300.0 + 97.0 * (i % 9), 1.0});
    std::string why;
    if (!writeToneMp3(mp3, segments, BitRate::VariableNoHeader, why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    writeBusyMidi(midi, seconds);

    struct Row {
        const char *what;
        std::string file;
        std::string playbinExtra;
    };
    const Row rows[] = {{"MP3", mp3, ""}, {"MIDI", midi, ""}};
    std::printf("%-5s %12s %12s %8s %14s %14s\n", "file", "ours (cpu s)", "playbin (s)", "ratio",
                "ours peak MB", "playbin MB");
    for (const Row &row : rows) {
        const ChildCost ours = runChild({self, "play", row.file});
        const ChildCost playbin = runChild(
            {"gst-launch-1.0", "-q", "playbin", "uri=file://" + row.file,
             "audio-sink=pulsesink", "video-sink=fakesink"});
        if (!ours.ok || !playbin.ok) {
            std::printf("%-5s failed (ours %s, playbin %s)\n", row.what, ours.ok ? "ok" : "failed",
                        playbin.ok ? "ok" : "failed");
            continue;
        }
        std::printf("%-5s %12.3f %12.3f %8.2f %14.1f %14.1f   (wall %.1f s / %.1f s)\n", row.what,
                    ours.cpuSeconds, playbin.cpuSeconds, ours.cpuSeconds / playbin.cpuSeconds,
                    ours.peakKilobytes / 1024.0, playbin.peakKilobytes / 1024.0, ours.wallSeconds,
                    playbin.wallSeconds);
    }
    std::printf("goal: ratio 1.1 or less\n");
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "play" && argc > 2)
        return playToEnd(argv[2]);
    const std::string missing = soundServerMissing();
    if (!missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return 2;
    }
    TestSink sink;  // nothing else plays while measuring
    if (mode.empty()) {
        const int latencyResult = latency();
        const int levelResult = level();
        return cpu(argv[0], 30) | latencyResult | levelResult;
    }
    if (mode == "latency")
        return latency();
    if (mode == "level")
        return level();
    if (mode == "cpu")
        return cpu(argv[0], argc > 2 ? std::atoi(argv[2]) : 30);
    std::fprintf(stderr, "usage: %s latency | level | cpu [seconds] | play FILE\n", argv[0]);
    return 2;
}
