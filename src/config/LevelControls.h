// The gains editor's level scale and its refresh after a load: a vertical track of 0.1 dB steps
// (position 0..361, 61 = 0 dB, +6 dB at the top, -30 dB at the bottom) and a dB field that holds
// its value to -30.0..6.0. Gain = Polarity x 10^(dB / 20); the processor receives Gain x
// MuteFactor. Muting Output 1 or Output 2 also chooses the input matrix.
#pragma once

#include "config/ProcessorConfig.h"

#include <array>

namespace kvn {

inline constexpr int kLevelTrackMax = 361;
inline constexpr double kLevelMinDb = -30.0;
inline constexpr double kLevelMaxDb = 6.0;

// The dB field's value for a track position: (361 - p) x 0.1 - 30, held to -30..6 (positions 0
// and 1 both give 6.0), computed as (61 - p) / 10 so that position 61 gives exactly 0 dB and a
// gain of exactly 1.0. Positions outside 0..361 are held to the track first.
double levelDbFromTrack(int position);
// Track position for a dB value: (dB + 30) x (-10) + 361, rounded halves to even, held to 0..361.
int levelTrackFromDb(double levelDb);
// The dB field's value for a stored gain: 20 log10 |Gain| held to -30..6; a gain of 0 (or NaN)
// reads -30.
double levelDbFromGain(double gain);

// The track-change step: LevelPosition := the position held to 0..361, Gain := 10^(dB / 20) x
// Polarity (Polarity from Inverted; Muted is applied later as MuteFactor).
void setLevelTrack(OutputChannel& output, int position);

// The polarity switch: Inverted := `inverted`, then the track-change step recomputes the signed
// Gain from the track as it stands.
void setInverted(OutputChannel& output, bool inverted);

// The input matrix m0..m3 for the mute states of Output 1 and Output 2 (SUB plays no part):
// (1, 0, 1, 0) when only Output 2 is muted, (0, 1, 0, 1) when only Output 1 is, otherwise
// (1, 0, 0, 1).
std::array<double, 4> inputMatrixFor(bool output1Muted, bool output2Muted);
// The mute switch of output `output` (1..3): Muted := `muted`, and the input matrix follows the
// mute states of Output 1 and Output 2. Gain, track and polarity are kept, so unmuting restores
// the level as it was.
void setMuted(ProcessorConfig& config, int output, bool muted);

// The refresh after a memory image was decoded: the level track is set from the stored
// LevelPosition (the image carries the track, not the gain).
void refreshLevelFromTrack(OutputChannel& output);
// The refresh after a preset file was read (the gains editor's ActualizaValores, then
// ActualizaTracks): dB from |Gain|, the track from dB, then Gain again from the track with the
// polarity. The file carries the gain, not the track.
void refreshLevelFromGain(OutputChannel& output);

}  // namespace kvn
