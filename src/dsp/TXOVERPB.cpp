// Crossover edge designs: Butterworth cascades, Linkwitz-Riley as squared Butterworth, Bessel from
// its pole table.
#include "dsp/TXOVERPB.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dsp/DspConstants.h"

namespace kvn {
namespace {

constexpr int kLowPass = 1;
constexpr int kHighPass = -1;

// Normalised Bessel polynomials (-3 dB at the cutoff), stored as the processor program stores
// them: single-precision pairs (T1, T2) = (1/w^2, 1/(w Q)) per pole pair, indexed 1..20; order N
// starts at besselStart[N]. For odd N the first index holds the real pole (T1 = 0, T2 = 1/R).
constexpr std::array<float, 21> kBesselT1 = {0.0f,    0.0f,    0.618f,  0.0f,    0.4772f, 0.4889f,
                                             0.389f,  0.0f,    0.4128f, 0.3245f, 0.3887f, 0.3505f,
                                             0.2756f, 0.0f,    0.3395f, 0.3011f, 0.2381f, 0.3162f,
                                             0.2979f, 0.2621f, 0.2087f};
constexpr std::array<float, 21> kBesselT2 = {0.0f,    1.0f,    1.3617f, 0.756f,  0.9996f, 1.3397f,
                                             0.7743f, 0.6656f, 1.1402f, 0.6216f, 1.2217f, 0.9686f,
                                             0.5131f, 0.5937f, 1.0944f, 0.8304f, 0.4332f, 1.1112f,
                                             0.9754f, 0.7202f, 0.3728f};
constexpr std::array<int, 9> kBesselStart = {0, 1, 2, 3, 5, 7, 10, 13, 17};
// Real pole frequency factor by M = N div 2.
constexpr std::array<float, 4> kBesselRealPole = {1.0f, 1.323f, 1.502f, 1.684f};
constexpr std::array<double, 9> kBesselLowPassLimitHz = {
    0.0, 20000.0, 18800.0, 16500.0, 14900.0, 13650.0, 12550.0, 11650.0, 10900.0};

constexpr int kMaxButterworthOrder = 6;
constexpr int kMaxLinkwitzRileyOrder = 4;
constexpr int kMaxBesselOrder = 6;  // 7 and 8 would need four sections

double tangent(double x) {
    return std::sin(x) / std::cos(x);
}

// Q shown for a designed section, derived from its own b0 and a1. For second-order Butterworth
// sections this is the analogue pole-pair Q; first-order sections can give values that are not
// finite, which are shown as 0.5.
double derivedQ(const TSOS& s, int direction) {
    double q;
    if (direction == kLowPass) {
        const double v = std::sqrt(s.a1 / (2.0 * s.b0) + 1.0);
        q = 1.0 / (2.0 * (1.0 / (2.0 * v)) * (1.0 / s.b0 - 1.0 - v * v));
    } else {
        const double v = std::sqrt(2.0 * s.b0 / (2.0 * s.b0 - s.a1));
        q = 1.0 / (2.0 * (v / (2.0 * s.b0) - (v * v + 1.0) / (2.0 * v)));
    }
    return std::isfinite(q) ? q : 0.5;
}

// Butterworth of order n written into the edge from section `first` on; returns the index of
// the next free section. The high-pass is the low-pass at the reciprocal prewarped frequency with
// z^-1 replaced by -z^-1.
int butterworthCascade(TXOVERPB& edge, int n, int first, int direction, double frequencyHz) {
    const double w = 2.0 * kPi * frequencyHz / kSampleRate;
    const double t = direction == kLowPass ? tangent(w / 2.0) : 1.0 / tangent(w / 2.0);
    const double d = direction;
    const int r = n % 2;
    const int pairs = (n - r) / 2;
    int index = first;
    if (r == 1) {
        TSOS& s = edge.section(index++);
        s.b0 = t / (t + 1.0);
        s.b1 = d * s.b0;
        s.b2 = 0.0;
        s.a1 = -d * (t - 1.0) / (t + 1.0);
        s.a2 = 0.0;
        s.FrequencyHz = frequencyHz;
        s.Q = derivedQ(s, direction);
    }
    for (int k = 1; k <= pairs; ++k) {
        TSOS& s = edge.section(index++);
        const double theta = (n - 1 + 2 * k) * kPi / (2.0 * n);
        const double c = std::cos(theta);
        const double D = 1.0 - 2.0 * t * c + t * t;
        s.b0 = t * t / D;
        s.b1 = 2.0 * d * s.b0;
        s.b2 = s.b0;
        s.a1 = -2.0 * d * (t * t - 1.0) / D;
        s.a2 = -(1.0 + 2.0 * t * c + t * t) / D;
        s.FrequencyHz = frequencyHz;
        s.Q = derivedQ(s, direction);
    }
    return index;
}

// One Bessel pole pair from table index j designed into a section whose frequency is the edge
// frequency.
void besselPair(TSOS& s, int j, int direction) {
    const double t1 = kBesselT1[static_cast<std::size_t>(j)];
    const double t2 = kBesselT2[static_cast<std::size_t>(j)];
    const double root = std::sqrt(t1);
    s.FrequencyHz = direction == kLowPass ? s.FrequencyHz / root : s.FrequencyHz * root;
    s.Q = root / t2;
    if (direction == kLowPass) {
        s.designLowPassQ();
    } else {
        s.designHiPassQ();
    }
}

}  // namespace

double besselLowPassLimitHz(int order) {
    return kBesselLowPassLimitHz[static_cast<std::size_t>(std::clamp(order, 1, 8))];
}

std::string besselLimitMessage(const BesselLimit& limit) {
    // The limits are whole numbers of hertz; print them the shortest way ("18800").
    char number[32];
    std::snprintf(number, sizeof number, "%.15g", limit.limitHz);
    return std::string("Maximum Bessel Cutoff = ") + number + " for LowPass of order " +
           std::to_string(limit.order);
}

TXOVERPB::TXOVERPB() = default;

bool TXOVERPB::orderSupported(std::uint8_t xoverType, int order) {
    switch (xoverType) {
        case kXoverBypass:
            return true;
        case kButterworthLowPass:
        case kButterworthHighPass:
            return order >= 1 && order <= kMaxButterworthOrder;
        case kLinkwitzRileyLowPass:
        case kLinkwitzRileyHighPass:
            return order >= 1 && order <= kMaxLinkwitzRileyOrder;
        case kBesselLowPass:
        case kBesselHighPass:
            return order >= 1 && order <= kMaxBesselOrder;
        default:
            return false;
    }
}

std::optional<BesselLimit> TXOVERPB::design() {
    for (TSOS& s : Sections) {
        s.FrequencyHz = FrequencyHz;
        s.setUnity();
    }
    SectionCount = 1;

    switch (XoverType) {
        case kButterworthLowPass:
        case kButterworthHighPass: {
            const int n = std::clamp(Order, 1, kMaxButterworthOrder);
            const int direction = XoverType == kButterworthLowPass ? kLowPass : kHighPass;
            butterworthCascade(*this, n, 1, direction, FrequencyHz);
            SectionCount = (n + 1) / 2;
            break;
        }
        case kLinkwitzRileyLowPass:
        case kLinkwitzRileyHighPass: {
            // The square of a Butterworth of half the order; an odd order is raised by one.
            if (Order % 2 != 0) {
                Order += 1;
            }
            Order = std::clamp(Order, 2, kMaxLinkwitzRileyOrder);
            const int direction = XoverType == kLinkwitzRileyLowPass ? kLowPass : kHighPass;
            butterworthCascade(*this, Order / 2, 1, direction, FrequencyHz);
            butterworthCascade(*this, Order / 2, 2, direction, FrequencyHz);
            SectionCount = 2;
            break;
        }
        case kBesselLowPass:
        case kBesselHighPass: {
            const int n = std::clamp(Order, 1, kMaxBesselOrder);
            const int direction = XoverType == kBesselLowPass ? kLowPass : kHighPass;
            if (direction == kLowPass && section(1).FrequencyHz > besselLowPassLimitHz(n)) {
                const double limit = besselLowPassLimitHz(n);
                for (TSOS& s : Sections) {
                    s.FrequencyHz = limit;
                }
                FrequencyHz = limit;
                return BesselLimit{limit, n};
            }
            const int m = n / 2;
            int j = kBesselStart[static_cast<std::size_t>(n)];
            int next = 1;
            if (n % 2 != 0) {
                TSOS& s = section(next++);
                const double r = kBesselRealPole[static_cast<std::size_t>(m)];
                s.FrequencyHz = direction == kLowPass ? s.FrequencyHz * r : s.FrequencyHz / r;
                if (direction == kLowPass) {
                    s.designFirstOrderLowPass();
                } else {
                    s.designFirstOrderHighPass();
                }
                ++j;
            }
            for (int k = 0; k < m; ++k) {
                besselPair(section(next++), j++, direction);
            }
            SectionCount = (n + 1) / 2;
            break;
        }
        default:
            break;  // bypass: one unity section
    }
    return std::nullopt;
}

}  // namespace kvn
