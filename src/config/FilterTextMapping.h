// Equaliser bands as lines of the filter text and back, and the export and import of an output's
// equaliser. A band type and a text type correspond only where they are the same filter (their
// responses on the response grid agree to 0.01 dB); where the two name the same filter with
// different values, the values are converted:
//
//   band type                 text             values
//   Bypass                    OFF None         -
//   Parametric                PK               the same
//   Shelv Low / High 6dB      LS 6dB / HS 6dB  Fc is the frequency of half the shelf's gain; the
//                                              band's frequency is where it is 3 dB short of the
//                                              shelf (beyond +-3 dB), so it is converted
//   LowPass / HiPass Buttw    LP / HP          the same
//   BandPass                  BP               Q converted: the band's bandwidth is f/Q, the
//                                              text's Q is that of the analogue filter
//   StopBand                  NO               Q converted likewise
//   AllPass 2                 AP               the same
//   LowPass Q / HiPass Q      LPQ / HPQ        the same
//   low / high shelf with     LSC / HSC        slope in dB = 12 x the band's Q (its shelf slope);
//   slope (codes 15, 16)                       only while the shelf design is the plain one
//                                              (its slope term not held at its floor)
//   AllPass 1, other codes    none
//
// A file's filter is imported only when the band it gives lies within the editor's ranges on
// that output (frequency 10 to 20000 Hz, on SUB to 500 Hz; Q 0.5 to 20, band-pass from 1.7 and
// notch from 1; gain -15 to +12 dB, the first-order shelves to +6 dB), each allowing half the
// editor's step for the digits a file rounds to; the band is then held to the editor's steps as
// selecting it in the equaliser does (frequency slider step, Q 0.1, gain 0.1 dB).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/FilterText.h"
#include "config/ProcessorConfig.h"

namespace kvn {

// The text filter that is the same filter as `band` (designed), or nothing for a type without a
// counterpart; `why` then says so in the band's own terms ("AllPass 1 has no counterpart in the
// filter text").
std::optional<TextFilter> textFilterFromBand(const PeqBand& band, std::string* why = nullptr);

// The band (designed, not yet held to the editor's steps) that is the same filter as `filter`,
// or nothing when it lies outside the editor's ranges on output `output` (1..3); `why` then names
// the value and the range. An OFF filter or None gives a Bypass band.
std::optional<PeqBand> bandFromTextFilter(const TextFilter& filter, int output,
                                          std::string* why = nullptr);

// An output's equaliser as filter text: a comment naming the output and the system, then one
// line per band of the output (7, SUB 3), Bypass bands as "OFF None".
struct EqualizerExport {
    std::string text;     // empty when refused
    std::string problem;  // "Output 1 band 4: AllPass 1 has no counterpart in the filter text"
};
EqualizerExport exportEqualizer(const ProcessorConfig& config, int output);

// A filter text checked against an output and ready to be applied.
struct EqualizerImport {
    int output = 1;
    // One band per filter line, held to the editor's steps and designed; Bypass bands carry only
    // their type (applying keeps the band's other settings).
    std::vector<PeqBand> bands;
    std::optional<double> preampDb;
    int levelPosition = kZeroDbLevelPosition;  // the output's level track after the preamp
    // The largest difference on the response grid between the file's filters and the bands held
    // to the editor's steps, in dB.
    double stepChangeDb = 0.0;
};

struct EqualizerImportCheck {
    std::optional<EqualizerImport> import;
    std::optional<FilterTextProblem> problem;  // why nothing can be imported
    std::vector<FilterTextProblem> skipped;    // lines left out with skipBadLines
};

// Reads `text` for output `output` (1..3) of `config`. Refused, naming the line: anything
// parseFilterText refuses; a filter whose band lies outside the editor's ranges; more filters than
// the output has bands; a preamp that would take the output's level outside -30..+6 dB. The
// preamp is a gain ahead of the filters and so is added to the output's level (0.1 dB steps).
// `skipBadLines` is parseFilterText's: lines that do not read are left out (and listed) instead.
EqualizerImportCheck checkEqualizerImport(const ProcessorConfig& config, int output,
                                          std::string_view text, bool skipBadLines = false);

// Applies a checked import: bands 1..n take the imported bands (their coefficient slots kept, a
// Bypass band keeping its frequency, Q and gain), the output's further bands are bypassed the same
// way, PeqBandsInUse is raised to n, and a preamp sets the level track. SUB's bands 4 to 7 are left
// alone.
void applyEqualizerImport(ProcessorConfig& config, const EqualizerImport& import);

// "5 filters imported into Output 1; bands 6 and 7 bypassed. The editor's steps change the
// response by at most 0.03 dB. Level -6.0 dB -> -8.1 dB (Preamp -2.1 dB)."
std::string describeEqualizerImport(const ProcessorConfig& before, const EqualizerImport& import);

}  // namespace kvn
