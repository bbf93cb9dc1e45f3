// A sound card as the scripted mixer plays it: a playback destination with
// wave, synthesizer and CD sources, a recording destination with a
// microphone (mono) and a line input, and a second card with one line.
#pragma once

#include <gtest/gtest.h>

#include "platform/testing/scripted_mixer.h"
#include "platform/testing/twins.h"
#include "platform/winmm/mixer_backend.h"

struct ScriptedMachine {
    hp::testing::ScriptedControl *masterVolume = nullptr;
    hp::testing::ScriptedControl *masterMute = nullptr;
    hp::testing::ScriptedControl *waveVolume = nullptr;
    hp::testing::ScriptedControl *waveMute = nullptr;
    hp::testing::ScriptedControl *synthVolume = nullptr;
    hp::testing::ScriptedControl *cdVolume = nullptr;
    hp::testing::ScriptedControl *cdBalance = nullptr;
    hp::testing::ScriptedControl *recordingSource = nullptr;
    hp::testing::ScriptedControl *microphoneVolume = nullptr;
    hp::testing::ScriptedControl *lineVolume = nullptr;
    hp::testing::ScriptedControl *secondCardVolume = nullptr;
};

class WinmmScriptedMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::winmm::installMixerBackend(hp::testing::makeScriptedMixerBackend());
        hp::testing::ScriptedMixer &mixer = hp::testing::scriptedMixer();
        mixer.reset();

        hp::testing::ScriptedMixerDevice &card = mixer.addDevice("Scripted Audio");
        hp::testing::ScriptedDestination &playback =
            card.addDestination("Volume Control", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2);
        machine_.masterVolume =
            &playback.line().addControl("Master Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
        machine_.masterMute = &playback.line().addControl(
            "Master Mute", MIXERCONTROL_CONTROLTYPE_MUTE, MIXERCONTROL_CONTROLF_UNIFORM);
        hp::testing::ScriptedLine &wave =
            playback.addSource("Wave", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 2);
        machine_.waveVolume = &wave.addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
        machine_.waveMute = &wave.addControl("Mute", MIXERCONTROL_CONTROLTYPE_MUTE,
                                             MIXERCONTROL_CONTROLF_UNIFORM);
        hp::testing::ScriptedLine &synth =
            playback.addSource("SW Synth", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, 2);
        machine_.synthVolume = &synth.addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
        hp::testing::ScriptedLine &cd =
            playback.addSource("CD Audio", MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, 2);
        machine_.cdVolume = &cd.addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
        machine_.cdBalance = &cd.addControl("Balance", MIXERCONTROL_CONTROLTYPE_PAN);

        hp::testing::ScriptedDestination &recording =
            card.addDestination("Recording Control", MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 2);
        machine_.recordingSource = &recording.line().addControl(
            "Recording Source", MIXERCONTROL_CONTROLTYPE_MUX,
            MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE, 2);
        hp::testing::ScriptedLine &microphone =
            recording.addSource("Microphone", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, 1);
        machine_.microphoneVolume =
            &microphone.addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
        hp::testing::ScriptedLine &lineIn =
            recording.addSource("Line In", MIXERLINE_COMPONENTTYPE_SRC_LINE, 2);
        machine_.lineVolume = &lineIn.addControl("Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);

        hp::testing::ScriptedMixerDevice &second = mixer.addDevice("Second Card");
        machine_.secondCardVolume =
            &second.addDestination("Master", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2)
                 .line()
                 .addControl("Master Volume", MIXERCONTROL_CONTROLTYPE_VOLUME);
    }

    void TearDown() override { EXPECT_EQ(0u, hp::winmm::openMixerHandleCount()); }

    ScriptedMachine machine_;
};
