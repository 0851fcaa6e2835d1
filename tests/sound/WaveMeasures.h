// SPDX-License-Identifier: GPL-3.0-or-later
// The built wave library and what the sound checks measure in it: levels,
// band shares and how soon a sound starts.
#pragma once

#include "Dsp.h"
#include "WaveCollection.h"

// Data/Music.dxw of the build, read once.
const TWaveCollection& BuiltLibrary();

// A wave's samples in -1..1 (its first channel).
TSignal SamplesOf(const TWave& wave);

// The share of the signal's energy between two frequencies (steep
// filters; 0 or the top of the band leave that side open).
double BandShare(const TSignal& signal, double rate, double fromHz, double toHz);

// When the level, in 1 ms windows, first comes within `belowPeakDb` of
// the loudest window: where a listener hears the sound begin.
double OnsetSeconds(const TSignal& signal, double rate, double belowPeakDb);
