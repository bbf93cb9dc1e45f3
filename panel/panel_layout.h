// Where the front panel's text lines, progress bar, gauges and buttons sit
// on the skin, in client pixels of the 632 x 500 window: one table for the
// paint steps and the pointer handlers alike. The decorations of the scene
// are in scene_layout.h.
//
// A drawn area covers [left, left + width) x [top, top + height), as
// Rectangle and the blits fill it. A hot rectangle includes both of its
// bounds, so the hot rectangle over an area takes in the column to its
// right and the row below it as well. No two hot rectangles overlap.
#pragma once

#include <stdint.h>

#include "panel/panel.h"
#include "platform/win32.h"
#include "sound/sound_device.h"

struct HotRect {
    int left;
    int right;
    int top;
    int bottom;

    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

struct PanelArea {
    int left;
    int top;
    int width;
    int height;

    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr HotRect hotRect() const { return {left, right(), top, bottom()}; }
};

// Text origins of TextOutA.
constexpr POINT titleOrigin = {193, 140};
constexpr POINT statusOrigin = {193, 185};
constexpr POINT marqueeEndMarkOrigin = {440, 140};

// The progress bar, which is the seek bar too: drawn 152 x 7 from (236,
// 207), hot from x 236 to 388 and y 207 to 214.
constexpr PanelArea progressBar = {236, 207, 152, 7};
constexpr HotRect seekBar = progressBar.hotRect();

// A volume gauge: a column of the skin's empty gauge on top and of its full
// gauge below, cut at the level of the value. The scale K is one row more
// than the gauge shows, so that the level line, top + t for an empty height
// t of 0 to K, has K + 1 places; the hot rectangle is the scale's.
struct GaugeLayout {
    int32_t Panel::*value;
    PanelArea scale;  // height: K
    int emptyX;       // the empty column in the skin file
    int emptyY;
    int fullX;        // the full column, same rows
    VolumeLine line;
    const char *statusFormat;

    constexpr int height() const { return scale.height - 1; }
    constexpr HotRect hotRect() const { return scale.hotRect(); }
};

// In the order they are drawn and tested: CD, MIDI, Wave. CD and MIDI cut
// the same columns.
constexpr GaugeLayout panelGauges[] = {
    {&Panel::cdVolume, {557, 67, 14, 220}, 164, 74, 186, VolumeLine::Cd, "CD音量 %3d％"},
    {&Panel::midiVolume, {533, 26, 14, 220}, 164, 74, 186, VolumeLine::Midi, "Midi音量 %3d％"},
    {&Panel::waveVolume, {504, 66, 18, 222}, 102, 72, 131, VolumeLine::Wave, "Wave音量 %3d％"},
};

// The buttons are pictures of the skin: only their hot rectangles exist.
constexpr HotRect stopButton = {450, 474, 338, 353};
constexpr HotRect playButton = {509, 572, 411, 452};
constexpr HotRect nextButton = {486, 510, 305, 321};
constexpr HotRect previousButton = {436, 460, 377, 393};
constexpr HotRect quitButton = {586, 601, 320, 331};
