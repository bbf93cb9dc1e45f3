// Bad input to the GStreamer engine: every case ends with a refused open,
// soon, holding nothing. Played to a fake sink, so no sound server is
// needed; one case points the real sink at a server that is not there.
#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/host/gst_audio_engine.h"

namespace {

using namespace std::chrono_literals;
using hp::winmm::AudioSource;
using hp::winmm::AudioStream;

constexpr auto boundedOpen = 5s;

int openDescriptorCount()
{
    int count = 0;
    if (DIR *folder = opendir("/proc/self/fd")) {
        while (readdir(folder))
            ++count;
        closedir(folder);
    }
    return count;
}

class EngineInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/hollyphone_engine_input_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        hp::host::GstAudioOptions options;
        options.sinkFactory = "fakesink";
        engine_ = hp::host::makeGstAudioEngine(options);
        // One good open first: GStreamer's own lasting threads and files are
        // then in place before anything is counted.
        const std::string wav = write("warm.wav", wavBytes(4410));
        std::unique_ptr<AudioStream> stream;
        ASSERT_EQ(engine_->open(source(wav), {}, stream), 0u);
        stream.reset();
        descriptorsBefore_ = openDescriptorCount();
    }

    void TearDown() override
    {
        EXPECT_EQ(engine_->liveStreamCount(), 0);
        EXPECT_EQ(openDescriptorCount(), descriptorsBefore_);
        std::system(("rm -rf '" + folder_ + "'").c_str());
    }

    std::string write(const std::string &name, const std::string &bytes)
    {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static AudioSource source(const std::string &path,
                              AudioSource::Kind kind = AudioSource::Kind::File)
    {
        AudioSource made;
        made.kind = kind;
        made.hostPath = path;
        return made;
    }

    // A 16-bit mono WAV of silence.
    static std::string wavBytes(uint32_t frames)
    {
        auto little = [](uint32_t value, int size) {
            std::string out;
            for (int i = 0; i < size; ++i)
                out += static_cast<char>(value >> (8 * i));
            return out;
        };
        const uint32_t data = frames * 2;
        return "RIFF" + little(36 + data, 4) + "WAVEfmt " + little(16, 4) + little(1, 2) +
               little(1, 2) + little(44100, 4) + little(88200, 4) + little(2, 2) +
               little(16, 2) + "data" + little(data, 4) + std::string(data, '\0');
    }

    static std::string randomBytes(size_t count)
    {
        std::mt19937 generator(20231224);
        std::string bytes(count, '\0');
        for (char &byte : bytes)
            byte = static_cast<char>(generator() & 0xFF);
        return bytes;
    }

    // Opens and expects a refusal within the bound.
    void expectRefused(const AudioSource &what, MCIERROR expected)
    {
        std::unique_ptr<AudioStream> stream;
        const auto start = std::chrono::steady_clock::now();
        const MCIERROR error = engine_->open(what, {}, stream);
        EXPECT_LT(std::chrono::steady_clock::now() - start, boundedOpen);
        EXPECT_EQ(error, expected);
        EXPECT_FALSE(stream);
    }

    std::string folder_;
    std::shared_ptr<hp::winmm::AudioEngine> engine_;
    int descriptorsBefore_ = 0;
};

TEST_F(EngineInput, UndecodableFilesAreRefused)
{
    struct Case {
        const char *name;
        std::string bytes;
        AudioSource::Kind kind;
    };
    const std::string id3Header("ID3\x03\x00\x00\x00\x00\x00\x0A", 10);
    const Case cases[] = {
        {"tagged_noise.mp3", id3Header + std::string(10, '\0') + randomBytes(64 * 1024),
         AudioSource::Kind::File},
        {"empty.mp3", "", AudioSource::Kind::File},
        {"text.mp3", "This is not music at all, just words.\r\n", AudioSource::Kind::File},
        {"broken.mid", std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14) + randomBytes(4096),
         AudioSource::Kind::MidiFile},
        {"empty.mid", "", AudioSource::Kind::MidiFile},
        {"noise.mid", randomBytes(2048), AudioSource::Kind::MidiFile},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        expectRefused(source(write(c.name, c.bytes), c.kind), MCIERR_INVALID_FILE);
    }
}

TEST_F(EngineInput, MissingFilesAndFoldersAreNotFound)
{
    expectRefused(source(folder_ + "/gone.mp3"), MCIERR_FILE_NOT_FOUND);
    expectRefused(source(folder_), MCIERR_FILE_NOT_FOUND);
    expectRefused(source(""), MCIERR_FILE_NOT_FOUND);
    expectRefused(source(folder_ + "/gone.mid", AudioSource::Kind::MidiFile),
                  MCIERR_FILE_NOT_FOUND);
}

TEST_F(EngineInput, AFileDeletedAfterItWasFoundIsNotFound)
{
    const std::string path = write("brief.wav", wavBytes(44100));
    ASSERT_EQ(unlink(path.c_str()), 0);
    expectRefused(source(path), MCIERR_FILE_NOT_FOUND);
}

TEST_F(EngineInput, AnUnreadableFileIsNotFound)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const std::string path = write("locked.wav", wavBytes(100));
    chmod(path.c_str(), 0);
    expectRefused(source(path), MCIERR_FILE_NOT_FOUND);
}

TEST_F(EngineInput, MidiNeedsItsSoundFont)
{
    const std::string midi = write(
        "tune.mid", std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0\x04\0\xFF\x2F\0", 26));
    hp::host::GstAudioOptions options;
    options.sinkFactory = "fakesink";
    options.soundFontPath = folder_ + "/missing.sf2";
    auto withoutFont = hp::host::makeGstAudioEngine(options);
    std::unique_ptr<AudioStream> stream;
    EXPECT_EQ(withoutFont->open(source(midi, AudioSource::Kind::MidiFile), {}, stream),
              static_cast<MCIERROR>(MCIERR_INVALID_FILE));
    // A file that is there but is no soundfont does not do either.
    options.soundFontPath = write("fake.sf2", "RIFF\0\0\0\0WAVE");
    auto wrongFont = hp::host::makeGstAudioEngine(options);
    EXPECT_EQ(wrongFont->open(source(midi, AudioSource::Kind::MidiFile), {}, stream),
              static_cast<MCIERROR>(MCIERR_INVALID_FILE));
    EXPECT_FALSE(stream);
}

TEST_F(EngineInput, GoodFilesOpenStoppedAtTheStartWithTheirLength)
{
    const std::string wav = write("second.wav", wavBytes(44100));
    std::unique_ptr<AudioStream> stream;
    ASSERT_EQ(engine_->open(source(wav), {}, stream), 0u);
    EXPECT_EQ(stream->state(), hp::winmm::PlaybackState::Stopped);
    EXPECT_EQ(stream->position().count(), 0);
    EXPECT_NEAR(std::chrono::duration<double>(stream->length()).count(), 1.0, 0.01);
    EXPECT_EQ(engine_->liveStreamCount(), 1);
}

TEST_F(EngineInput, WithoutASoundServerNothingOpens)
{
    // A server address where no server listens: the real sink cannot open.
    setenv("PULSE_SERVER", ("unix:" + folder_ + "/no-server").c_str(), 1);
    auto engine = hp::host::makeGstAudioEngine();
    EXPECT_FALSE(engine->outputAvailable());
    const std::string wav = write("tone.wav", wavBytes(4410));
    std::unique_ptr<AudioStream> stream;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->open(source(wav), {}, stream),
              static_cast<MCIERROR>(MCIERR_WAVE_OUTPUTSUNSUITABLE));
    EXPECT_LT(std::chrono::steady_clock::now() - start, boundedOpen);
    EXPECT_EQ(engine->liveStreamCount(), 0);
}

}  // namespace
