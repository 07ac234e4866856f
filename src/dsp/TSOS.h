// One second-order section (biquad): the user parameters of a filter and its five coefficients.
// Equaliser bands, crossover sections and the loudness filter are all sections.
#pragma once

#include <cstdint>

namespace kvn {

// Type codes of a section. Codes 0..11 are the equaliser list entries; 15 and 16 are shelves
// with slope that the list does not offer.
enum FilterTypeCode : std::uint8_t {
    kBypass = 0,
    kParametric = 1,
    kShelvLow6dB = 2,
    kShelvHigh6dB = 3,
    kLowPassButtw = 4,
    kHiPassButtw = 5,
    kBandPass = 6,
    kStopBand = 7,
    kAllPass1 = 8,
    kAllPass2 = 9,
    kLowPassQ = 10,
    kHiPassQ = 11,
    kLowShelfSlope = 15,
    kHighShelfSlope = 16,
};

// Coefficient convention: y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2], so
// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 - a1 z^-1 - a2 z^-2): a1 and a2 carry the sign with which
// they are added. The five values always travel in the order b0, b1, b2, a1, a2.
//
// Coefficients are doubles. The processor keeps 20 fraction bits, far below double's 52, and with
// doubles every platform we build on (including compilers whose long double is a plain double)
// designs bit-identical coefficients and therefore writes identical memory images.
class TSOS {
public:
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;

    std::uint8_t FilterType = kBypass;
    double GainDb = 0.0;
    double FrequencyHz = 1000.0;
    double Q = 0.707;   // exactly 0.707; the shelves with slope use it as the slope S
    int CoeffSlot = 0;  // address of b0 in the coefficient memory; set by the owner

    // Pass-through coefficients; type, frequency, Q and gain are left as they are.
    void setUnity();
    bool isUnity() const;

    // Designs by FilterType. Codes 12..14 and above 16 leave the coefficients unchanged. Each
    // design sets FilterType to its own code, except the first-order shelves at exactly 0 dB and
    // the shelves with slope, which leave it as it was. Some designs force GainDb to 0.
    void design();

    void designParametric();
    void designShelvLow6dB();
    void designShelvHigh6dB();
    void designLowPassButtw();
    void designHiPassButtw();
    void designBandPass();
    void designStopBand();
    void designAllPass1();
    void designAllPass2();
    void designLowPassQ();
    void designHiPassQ();
    void designLowShelfSlope();
    void designHighShelfSlope();
    // First-order low-pass and high-pass used by the crossovers; FilterType is not changed.
    void designFirstOrderLowPass();
    void designFirstOrderHighPass();

    // Coefficient by index: 0 b0, 1 b1, 2 b2, 3 a1, 4 a2; any other index gives 0.0.
    double coefficient(int index) const;

    bool operator==(const TSOS&) const = default;
};

// Holds b0 and b1 of the parametric and first-order shelf designs below 2 in magnitude, the
// limit of the processor's coefficient words. The positive and negative thresholds differ on
// purpose: the processor's stored designs depend on these exact values.
double saturateCoefficient(double value);

// The gain (linear) of the first-order shelves at their frequency, for a shelf gain `g` (linear):
// 3 dB short of the shelf above +3 dB and below -3 dB, half the shelf's dB in between.
double shelfCornerGain(double g);

// Name of a type code in the equaliser list ("Bypass" .. "HiPass Q"); empty for 15, 16 and codes
// the list does not hold.
const char* filterTypeName(int code);

// Index of a type code in the equaliser list: the code for 0..11, 14 and 15 for codes 15 and 16
// (entries the list does not offer), 0 for anything else.
int filterTypeListIndex(int code);

}  // namespace kvn
