// Design formulas of the second-order sections.
#include "dsp/TSOS.h"

#include <array>
#include <cmath>

#include "dsp/DspConstants.h"

namespace kvn {
namespace {

// 10^x is taken as e^(x ln 10), the form the processor's own designs were computed with.
double pow10(double x) {
    return std::exp(x * kLn10);
}

// tan as sin/cos, for the same reason.
double tangent(double x) {
    return std::sin(x) / std::cos(x);
}

double omega(double frequencyHz) {
    return 2.0 * kPi * frequencyHz / kSampleRate;
}

constexpr std::array<const char*, 12> kTypeNames = {
    "Bypass",   "Parametric", "Shelv Low 6dB", "Shelv High 6dB", "LowPass Buttw", "HiPass Buttw",
    "BandPass", "StopBand",   "AllPass 1",     "AllPass 2",      "LowPass Q",     "HiPass Q"};

}  // namespace

// The comparisons are strict: g equal to sqrt(2) or 1/sqrt(2) takes the middle branch.
double shelfCornerGain(double g) {
    if (g > kSqrt2) {
        return g / kSqrt2;
    }
    if (g < 1.0 / kSqrt2) {
        return kSqrt2 * g;
    }
    return std::sqrt(g);
}

double saturateCoefficient(double value) {
    if (value > 1.9999999999) {
        return 1.99999999999;
    }
    if (value < -1.999999999) {
        return -1.99999999999;
    }
    return value;
}

const char* filterTypeName(int code) {
    if (code >= 0 && code < static_cast<int>(kTypeNames.size())) {
        return kTypeNames[static_cast<std::size_t>(code)];
    }
    return "";
}

int filterTypeListIndex(int code) {
    if (code >= 0 && code <= kHiPassQ) {
        return code;
    }
    if (code == kLowShelfSlope || code == kHighShelfSlope) {
        return code - 1;
    }
    return 0;
}

void TSOS::setUnity() {
    b0 = 1.0;
    b1 = 0.0;
    b2 = 0.0;
    a1 = 0.0;
    a2 = 0.0;
}

bool TSOS::isUnity() const {
    return b0 == 1.0 && b1 == 0.0 && b2 == 0.0 && a1 == 0.0 && a2 == 0.0;
}

double TSOS::coefficient(int index) const {
    switch (index) {
        case 0:
            return b0;
        case 1:
            return b1;
        case 2:
            return b2;
        case 3:
            return a1;
        case 4:
            return a2;
        default:
            return 0.0;
    }
}

void TSOS::design() {
    switch (FilterType) {
        case kBypass:
            setUnity();
            break;
        case kParametric:
            designParametric();
            break;
        case kShelvLow6dB:
            designShelvLow6dB();
            break;
        case kShelvHigh6dB:
            designShelvHigh6dB();
            break;
        case kLowPassButtw:
            designLowPassButtw();
            break;
        case kHiPassButtw:
            designHiPassButtw();
            break;
        case kBandPass:
            designBandPass();
            break;
        case kStopBand:
            designStopBand();
            break;
        case kAllPass1:
            designAllPass1();
            break;
        case kAllPass2:
            designAllPass2();
            break;
        case kLowPassQ:
            designLowPassQ();
            break;
        case kHiPassQ:
            designHiPassQ();
            break;
        case kLowShelfSlope:
            designLowShelfSlope();
            break;
        case kHighShelfSlope:
            designHighShelfSlope();
            break;
        default:
            break;  // codes without a design keep their coefficients
    }
}

void TSOS::designParametric() {
    const double w0 = omega(FrequencyHz);
    const double s = std::sin(w0);
    const double c = std::cos(w0);
    const double A = pow10(GainDb / 40.0);
    const double alpha = s / (2.0 * Q);
    const double a0 = 1.0 + alpha / A;
    b0 = saturateCoefficient((1.0 + alpha * A) / a0);
    b1 = saturateCoefficient(-2.0 * c / a0);
    b2 = (1.0 - alpha * A) / a0;
    a1 = 2.0 * c / a0;
    a2 = -(1.0 - alpha / A) / a0;
    FilterType = kParametric;
}

void TSOS::designShelvLow6dB() {
    // At exactly 0 dB the beta radicand would be 0/0: the shelf is flat.
    if (GainDb == 0.0) {
        setUnity();
        return;
    }
    const double g = pow10(GainDb / 20.0);
    const double gc = shelfCornerGain(g);
    const double t = tangent(omega(FrequencyHz) / 2.0);
    const double beta = std::sqrt((gc * gc - 1.0) / (g * g - gc * gc)) * t;
    const double k = 1.0 / (1.0 + beta);
    b0 = saturateCoefficient((1.0 + g * beta) * k);
    b1 = saturateCoefficient(-(1.0 - g * beta) * k);
    b2 = 0.0;
    a1 = 2.0 * k - 1.0;
    a2 = 0.0;
    FilterType = kShelvLow6dB;
}

void TSOS::designShelvHigh6dB() {
    if (GainDb == 0.0) {
        setUnity();
        return;
    }
    const double g = pow10(GainDb / 20.0);
    const double gc = shelfCornerGain(g);
    const double t = tangent(omega(FrequencyHz) / 2.0);
    const double beta = std::sqrt((gc * gc - 1.0) / (g * g - gc * gc)) / t;
    const double k = 1.0 / (1.0 + beta);
    b0 = saturateCoefficient((1.0 + g * beta) * k);
    b1 = saturateCoefficient((1.0 - g * beta) * k);
    b2 = 0.0;
    a1 = -(2.0 * k - 1.0);
    a2 = 0.0;
    FilterType = kShelvHigh6dB;
}

void TSOS::designLowPassButtw() {
    const double w0 = omega(FrequencyHz);
    const double s = std::sin(w0);
    const double c = std::cos(w0);
    const double d = 2.0 + kSqrt2 * s;
    b0 = (1.0 - c) / d;
    b1 = 2.0 * b0;
    b2 = b0;
    a1 = 4.0 * c / d;
    a2 = -(2.0 - kSqrt2 * s) / d;
    GainDb = 0.0;
    FilterType = kLowPassButtw;
}

void TSOS::designHiPassButtw() {
    const double w0 = omega(FrequencyHz);
    const double s = std::sin(w0);
    const double c = std::cos(w0);
    const double d = 2.0 + kSqrt2 * s;
    b0 = (1.0 + c) / d;
    b1 = -2.0 * b0;
    b2 = b0;
    a1 = 4.0 * c / d;
    a2 = -(2.0 - kSqrt2 * s) / d;
    GainDb = 0.0;
    FilterType = kHiPassButtw;
}

namespace {
// Band-pass and notch Q: the bandwidth f/Qe never exceeds half the sample rate.
double effectiveQ(double q, double frequencyHz) {
    const double minimum = 2.0 * frequencyHz / kSampleRate;
    return q < minimum ? minimum : q;
}
}  // namespace

void TSOS::designBandPass() {
    const double w0 = omega(FrequencyHz);
    const double c = std::cos(w0);
    const double qe = effectiveQ(Q, FrequencyHz);
    const double g = pow10(GainDb / 20.0);
    const double t = tangent(w0 / (2.0 * qe));
    const double k = 1.0 / (1.0 + t);
    b0 = (1.0 - k) * g;
    b1 = 0.0;
    b2 = -(1.0 - k) * g;
    a1 = 2.0 * k * c;
    a2 = -(2.0 * k - 1.0);
    FilterType = kBandPass;
}

void TSOS::designStopBand() {
    const double w0 = omega(FrequencyHz);
    const double c = std::cos(w0);
    const double qe = effectiveQ(Q, FrequencyHz);
    const double t = tangent(w0 / (2.0 * qe));
    const double k = 1.0 / (1.0 + t);
    b0 = k;
    b1 = -2.0 * k * c;
    b2 = k;
    a1 = 2.0 * k * c;
    a2 = -(2.0 * k - 1.0);
    FilterType = kStopBand;
}

void TSOS::designAllPass1() {
    const double C = 1.0 / tangent(kPi * FrequencyHz / kSampleRate);
    b0 = (1.0 - C) / (1.0 + C);
    b1 = 1.0;
    b2 = 0.0;
    a1 = (C - 1.0) / (C + 1.0);
    a2 = 0.0;
    FilterType = kAllPass1;
}

void TSOS::designAllPass2() {
    const double C = 1.0 / tangent(kPi * FrequencyHz / kSampleRate);
    const double d = C * C + C / Q + 1.0;
    b0 = (C * C - C / Q + 1.0) / d;
    b1 = 2.0 * (1.0 - C * C) / d;
    b2 = (C * C + C / Q + 1.0) / d;
    a1 = -2.0 * (1.0 - C * C) / d;
    a2 = -(C * C - C / Q + 1.0) / d;
    FilterType = kAllPass2;
}

void TSOS::designLowPassQ() {
    const double w0 = omega(FrequencyHz);
    const double s = std::sin(w0);
    const double c = std::cos(w0);
    const double alpha = s / (2.0 * Q);
    const double d = 2.0 * (1.0 + alpha);
    b0 = (1.0 - c) / d;
    b1 = 2.0 * b0;
    b2 = b0;
    a1 = 4.0 * c / d;
    a2 = -2.0 * (1.0 - alpha) / d;
    GainDb = 0.0;
    FilterType = kLowPassQ;
}

void TSOS::designHiPassQ() {
    // GainDb is kept: the loudness editor remembers its gain setting there while the section is
    // a high-pass.
    const double w0 = omega(FrequencyHz);
    const double s = std::sin(w0);
    const double c = std::cos(w0);
    const double alpha = s / (2.0 * Q);
    const double d = 2.0 * (1.0 + alpha);
    b0 = (1.0 + c) / d;
    b1 = -2.0 * b0;
    b2 = b0;
    a1 = 4.0 * c / d;
    a2 = -2.0 * (1.0 - alpha) / d;
    FilterType = kHiPassQ;
}

namespace {
struct ShelfTerms {
    double A;
    double c;
    double gamma;
};

// Common terms of the shelves with slope; Q is the slope S. A small radicand is replaced by 0.1
// itself (not its square root).
ShelfTerms shelfWithSlopeTerms(double gainDb, double frequencyHz, double slope) {
    const double w0 = omega(frequencyHz);
    const double A = pow10(gainDb / 40.0);
    const double r = (A * A + 1.0) / slope - (A - 1.0) * (A - 1.0);
    const double beta = r < 0.1 ? 0.1 : std::sqrt(r);
    return {A, std::cos(w0), beta * std::sin(w0)};
}
}  // namespace

void TSOS::designLowShelfSlope() {
    const auto [A, c, gamma] = shelfWithSlopeTerms(GainDb, FrequencyHz, Q);
    const double m = (A + 1.0) - (A - 1.0) * c;
    const double a0 = (A + 1.0) + (A - 1.0) * c + gamma;
    b0 = A * (m + gamma) / a0;
    b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c) / a0;
    b2 = A * (m - gamma) / a0;
    a1 = 2.0 * ((A + 1.0) * c + (A - 1.0)) / a0;
    a2 = -((A + 1.0) + (A - 1.0) * c - gamma) / a0;
}

void TSOS::designHighShelfSlope() {
    const auto [A, c, gamma] = shelfWithSlopeTerms(GainDb, FrequencyHz, Q);
    const double m = (A + 1.0) + (A - 1.0) * c;
    const double a0 = (A + 1.0) - (A - 1.0) * c + gamma;
    b0 = A * (m + gamma) / a0;
    b1 = -2.0 * A * ((A + 1.0) * c + (A - 1.0)) / a0;
    b2 = A * (m - gamma) / a0;
    a1 = -2.0 * ((A - 1.0) - (A + 1.0) * c) / a0;
    a2 = -((A + 1.0) - (A - 1.0) * c - gamma) / a0;
}

void TSOS::designFirstOrderLowPass() {
    const double t = tangent(omega(FrequencyHz) / 2.0);
    const double k = (1.0 - t) / (1.0 + t);
    b0 = (1.0 - k) / 2.0;
    b1 = b0;
    b2 = 0.0;
    a1 = k;
    a2 = 0.0;
    GainDb = 0.0;
}

void TSOS::designFirstOrderHighPass() {
    const double t = tangent(omega(FrequencyHz) / 2.0);
    const double k = (1.0 - t) / (1.0 + t);
    b0 = (1.0 + k) / 2.0;
    b1 = -(1.0 + k) / 2.0;
    b2 = 0.0;
    a1 = k;
    a2 = 0.0;
    GainDb = 0.0;
}

}  // namespace kvn
