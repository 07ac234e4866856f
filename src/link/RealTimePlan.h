// Which real-time messages carry an edit. An editor names the part of the configuration it
// changed (an EditScope); the messages are built from the configuration as it stands, so an
// edit, its undo and its redo send the same kind of messages, in the order the processor expects.
#pragma once

#include <cstdint>
#include <vector>

#include "config/ProcessorConfig.h"
#include "link/RealTimeUpdate.h"

namespace kvn::link {

enum class EditPart : std::uint8_t {
    // Equaliser band `band` of output `index`: its section at the band's slot.
    PeqBand,
    // The crossover of output `index`: Output 1 and Output 2 send the high-pass edge's section 2,
    // then section 1, then the low-pass edge's section 2, then section 1 (Output 2: slots 111, 106,
    // 101, 96); SUB sends only its low-pass edge's section 2, then section 1 (136, 131).
    Crossover,
    // The loudness section at slot 100, in bank 1 (DspSelect becomes 1 first).
    Loudness,
    // Output `index`'s delay: integer word 140 + n holding DelaySamples + 1.
    Delay,
    // Output `index`'s level: coefficient word 257 + n holding Gain x MuteFactor.
    Level,
    // Output `index` muted or sounding: its level word, then DspSelect becomes 1 and the four
    // InputMatrix words follow (addresses 144..147).
    Mute,
    // Output `index`'s route: DspSelect becomes 1, then GainFromA and GainFromB (addresses
    // 2n - 2 and 2n - 1).
    Route,
    // Dynamics unit `index`'s gain table entries 3..32: six sections of five entries, the slot
    // being the first entry's address (unit 1: 151, 156, ..., 176; unit 2: 188, ..., 213).
    DynamicsTable,
    // The unit's detector coefficient word (181 / 218), then its release count (184 / 221).
    DynamicsAttack,
    // The unit's hold samples (183 / 220), then its release count.
    DynamicsHold,
    // The unit's release count.
    DynamicsRelease,
    // Nothing the processor is sent in real time: names, texts, temperature, relative distances,
    // speaker settings, measurement files, view flags.
    Quiet,
};

struct EditScope {
    EditPart part = EditPart::Quiet;
    int index = 0;  // output 1..3, or dynamics unit 1..2
    int band = 0;   // equaliser band 1..7 (PeqBand only)

    static EditScope peqBand(int output, int band) { return {EditPart::PeqBand, output, band}; }
    static EditScope crossover(int output) { return {EditPart::Crossover, output, 0}; }
    static EditScope loudness() { return {EditPart::Loudness, kSubOutput, 0}; }
    static EditScope delay(int output) { return {EditPart::Delay, output, 0}; }
    static EditScope level(int output) { return {EditPart::Level, output, 0}; }
    static EditScope mute(int output) { return {EditPart::Mute, output, 0}; }
    static EditScope route(int output) { return {EditPart::Route, output, 0}; }
    static EditScope dynamicsTable(int unit) { return {EditPart::DynamicsTable, unit, 0}; }
    static EditScope dynamicsAttack(int unit) { return {EditPart::DynamicsAttack, unit, 0}; }
    static EditScope dynamicsHold(int unit) { return {EditPart::DynamicsHold, unit, 0}; }
    static EditScope dynamicsRelease(int unit) { return {EditPart::DynamicsRelease, unit, 0}; }
    // `output` (1..3, or 0 for none) says which output a quiet change concerns (its name).
    static EditScope quiet(int output = 0) { return {EditPart::Quiet, output, 0}; }

    bool operator==(const EditScope&) const = default;
};

// Appends the messages that carry `scope` in `config` to `out`. `dspSelect` is the bank that the
// messages address (held to 1..2); the scopes that select bank 1 first (Loudness, the matrix of
// Mute, Route) leave it at 1, as the processor program's DspSelect stays where a sender put it.
// A scope naming an output, unit or band that does not exist (or a SUB band above 3) adds nothing.
void appendRealTimeUpdates(const ProcessorConfig& config, const EditScope& scope, int& dspSelect,
                           std::vector<RealTimeUpdate>& out);

// Every value that real-time messages set, as scopes: each equaliser band, each crossover, the
// loudness section, each delay, each output's level with the input matrix, each route, each
// dynamics unit's table, detector, hold and release.
const std::vector<EditScope>& everyRealTimeScope();

// The messages that bring a processor running `from` to `to`: of the messages of every
// real-time scope, those whose value differs, in the order of everyRealTimeScope(). Used when
// the configuration jumps to a remembered state (undo, redo), so that the processor follows.
std::vector<RealTimeUpdate> realTimeDifference(const ProcessorConfig& from,
                                               const ProcessorConfig& to, int& dspSelect);

}  // namespace kvn::link
