// The output power check and the speaker and rack windows' scales.
#include "config/PowerCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "config/DynamicsControls.h"
#include "dsp/DynamicsMath.h"
#include "dsp/Rounding.h"

namespace kvn {
namespace {

// Meter values computed from settings read from a file are held here before rounding, so that
// the integer arithmetic after it cannot overflow.
constexpr double kMeterLimit = 1.0e6;

int meterValue(double x) {
    return std::isnan(x) ? 0 : roundHalfEven(std::clamp(x, -kMeterLimit, kMeterLimit));
}

double roundToSignificant(double x, int digits) {
    if (!std::isfinite(x) || x == 0.0) {
        return x;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, x);
    return std::strtod(buffer, nullptr);
}

std::string fixed(double x, int decimals) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, x);
    std::string text = buffer;
    // A value that rounds to zero is written without its sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

}  // namespace

PowerCheck checkOutputPower(const DynamicsUnit& unit, int unitNumber) {
    PowerCheck c;
    const double yMax = unit.outputDb[kDynamicsDesignPoints - 1];  // the 0 dBFS input point
    c.levelDbu = unit.bypass != 0 ? kMaxOutputDbu : dbfsToDbu(yMax, unitNumber);
    if (!(c.levelDbu <= kMaxOutputDbu)) {
        c.levelDbu = kMaxOutputDbu;
    }
    const double gain = unit.ampGain;
    const double volts = std::pow(10.0, c.levelDbu / 20.0) * kDbuReferenceVolts;
    c.vmaxVrms = volts;
    c.powerW = (volts * gain) * (volts * gain) / static_cast<double>(unit.loadImpedanceOhm);
    if (unit.balanced == 0) {
        c.powerW /= 4.0;
        c.vmaxVrms /= 2.0;
    }

    c.boxLevelDbu =
        20.0 * std::log10(std::sqrt(static_cast<double>(unit.boxPowerW) * unit.loadImpedanceOhm) /
                          (kDbuReferenceVolts * gain));
    const double boxLevel =
        std::clamp(std::isnan(c.boxLevelDbu) ? 0.0 : c.boxLevelDbu, -kMeterLimit, kMeterLimit);
    c.meterMax = (roundHalfEven(boxLevel) + 32) * 2;
    c.meterFirst = meterValue(c.meterMax * 70.0 / 100.0);
    c.meterSecond = meterValue(c.meterMax * 95.0 / 100.0);

    const double p =
        std::clamp(trackFromThreshold(unit.thresholdDbfs, unitNumber), 0, kThresholdTrackMax);
    const bool sub = unitNumber == 2;
    if (unit.kneeType == kLimiter) {
        c.meterPosition = meterValue(101.0 - p - (sub ? 3.0 : 0.0));
    } else {
        // The ratio track never goes below 1:1; a smaller stored ratio reads as 1.
        const double ratio = std::max(1.0, static_cast<double>(unit.ratio));
        c.meterPosition = meterValue(101.0 * 0.97 - (sub ? 6.0 : 0.0) - (p - 100.0 / ratio));
    }
    c.overBoxPower = c.powerW > unit.boxPowerW;
    return c;
}

std::string powerWattsText(double powerW) {
    return std::isfinite(powerW) ? fixed(roundToSignificant(powerW, 5), 0) : "-";
}

std::string voltageText(double vrms) {
    return std::isfinite(vrms) ? fixed(roundToSignificant(vrms, 3), 2) : "-";
}

std::string powerCheckProblem(const DynamicsUnit& unit) {
    const double load = unit.loadImpedanceOhm;
    if (!(load > 0.0) || !std::isfinite(load)) {
        return "the load impedance is " + fixed(load, 2) + " ohm";
    }
    if (!std::isfinite(unit.ampGain)) {
        return "the amplifier gain is not a number";
    }
    return {};
}

std::array<std::string, 2> powerMemoLines(const PowerCheck& check) {
    return {"1 - Max RMS Out Power : " + powerWattsText(check.powerW) + " Watts",
            "    KVN 350 max Out Voltage : " + voltageText(check.vmaxVrms) + " vrms"};
}

int impedanceItemFor(double ohm) {
    const int rounded = roundHalfEven(ohm);
    for (int i = 0; i < kImpedanceItems; ++i) {
        if (roundHalfEven(kImpedanceOhms[static_cast<std::size_t>(i)]) == rounded) {
            return i;
        }
    }
    return -1;
}

int boxPowerStep(double boxPowerW) {
    if (boxPowerW >= 1000.0) {
        return 100;
    }
    return boxPowerW < 25.0 ? 1 : 25;
}

int ampPowerStep(double ampPowerW) {
    return ampPowerW < 1000.0 ? 25 : 100;
}

double ampGainDb(double gain) {
    return 20.0 * std::log10(gain);
}

int rackMeterPosition(double thresholdDbfs) {
    return std::clamp(meterValue(101.0 + thresholdDbfs), 0, kRackMeterMax);
}

}  // namespace kvn
