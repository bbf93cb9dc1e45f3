// Plays one file through the player's sound device on the platform's MCI,
// for the playback test that listens to the sound server: opens and plays
// the file as the play button does, keeps playing for the given time while
// pumping messages as the program's loop does, then stops.
//
//   hp_windows_play_probe.exe <file> <seconds>
//
// Prints one line per step, "name value", for the test to read:
//   midi-outputs N, wave-outputs N, play 1|0, length-seconds N,
//   position-seconds N (after the wait), stop 1|0.
#include <stdio.h>
#include <stdlib.h>

#include "platform/win32.h"
#include "sound/sound_device.h"

namespace {

void pumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s <file> <seconds>\n", argv[0]);
        return 2;
    }
    const int seconds = atoi(argv[2]);
    printf("midi-outputs %u\n", midiOutGetNumDevs());
    printf("wave-outputs %u\n", waveOutGetNumDevs());
    fflush(stdout);

    soundDevice.initialize(nullptr);
    soundDevice.setFileSource(argv[1]);
    const int played = soundDevice.play(nullptr);
    printf("play %d\n", played);
    int length = -1;
    soundDevice.getLength(nullptr, nullptr, 0, 1, &length);
    printf("length-seconds %d\n", length);
    fflush(stdout);

    pumpMessagesFor(static_cast<DWORD>(seconds) * 1000);
    int position = -1;
    soundDevice.getPosition(nullptr, nullptr, &position);
    printf("position-seconds %d\n", position);
    printf("stop %d\n", soundDevice.stop(nullptr));
    soundDevice.close();
    fflush(stdout);
    return played == 1 ? 0 : 1;
}
