// A crossover edge: a cascade of up to three sections designed as one high-pass or low-pass
// filter of a family (bypass, Butterworth, Linkwitz-Riley, Bessel) and order; and a crossover, the
// pair of edges of one output.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "dsp/TSOS.h"

namespace kvn {

// Family and direction of an edge. The editor's family list holds "ByPass", "ButtW", "L-Riley",
// "Bessel" (indices 0..3); the code is index * 2 - 1 for a low-pass edge, index * 2 for a
// high-pass edge, and 0 for "ByPass" on either.
enum XoverTypeCode : std::uint8_t {
    kXoverBypass = 0,
    kButterworthLowPass = 1,
    kButterworthHighPass = 2,
    kLinkwitzRileyLowPass = 3,
    kLinkwitzRileyHighPass = 4,
    kBesselLowPass = 5,
    kBesselHighPass = 6,
};

// The Bessel low-pass cannot be designed above a limit that depends on its order. A design asked
// for above the limit designs nothing and reports the limit, so that the caller can tell the user
// (besselLimitMessage) and design again at the limit.
struct BesselLimit {
    double limitHz;
    int order;
};

class TXOVERPB {
public:
    TXOVERPB();

    // Section 1 is Sections[0]. Only the first SectionCount sections are in use; the others are
    // unity after every design.
    std::array<TSOS, 3> Sections;
    int Order = 4;
    int SectionCount = 1;
    std::uint8_t XoverType = kXoverBypass;
    double FrequencyHz = 1000.0;

    TSOS& section(int number) { return Sections[static_cast<std::size_t>(number - 1)]; }
    const TSOS& section(int number) const { return Sections[static_cast<std::size_t>(number - 1)]; }

    // Designs the edge from XoverType, Order and FrequencyHz. Sets the sections' FrequencyHz to
    // the edge frequency first, so that the Bessel design, which scales each section's own
    // frequency, always starts from the edge frequency. Returns the Bessel limit when a Bessel
    // low-pass edge lies above it: the edge and its sections then hold the limit as their
    // frequency, and the caller designs again (the editor commits the limit to its field, which
    // designs again).
    std::optional<BesselLimit> design();

    // Supported orders: Butterworth and Bessel 1..6, Linkwitz-Riley 1..4 (odd orders are raised).
    static bool orderSupported(std::uint8_t xoverType, int order);

    bool operator==(const TXOVERPB&) const = default;
};

struct TXOVER {
    TXOVERPB HighPassEdge;  // low end of the output's band (the "L" controls)
    TXOVERPB LowPassEdge;   // high end of the output's band (the "H" controls)
};

// The message shown when a Bessel low-pass edge is held to its limit:
// "Maximum Bessel Cutoff = 18800 for LowPass of order 2".
std::string besselLimitMessage(const BesselLimit& limit);

// Highest cutoff of a Bessel low-pass of the order (1..8), in Hz.
double besselLowPassLimitHz(int order);

}  // namespace kvn
