// The output power check of a dynamics unit: from the unit's curve, the highest voltage the
// processor puts out and the RMS power the amplifier then delivers into the box, against the
// box's rating. Also the scales of the windows that feed and show it: the speaker window's
// impedance list and spin steps, the amplifier gain in dB, and the rack window's meters.
#pragma once

#include <array>
#include <string>

#include "config/ProcessorConfig.h"

namespace kvn {

// The processor's output is taken as at most +18 dBu; 0 dBu = 0.775 V.
inline constexpr double kMaxOutputDbu = 18.0;
inline constexpr double kDbuReferenceVolts = 0.775;

struct PowerCheck {
    double levelDbu = 0.0;     // L: output level at full-scale input, at most 18 dBu
    double vmaxVrms = 0.0;     // the processor's highest output voltage (halved unbalanced)
    double powerW = 0.0;       // RMS power into the box (quartered unbalanced)
    double boxLevelDbu = 0.0;  // output level at which the box receives its rated power
    // LEDMeter1 of the dynamics window: maximum (Lbox rounded + 32) x 2, its second colour from
    // 70 % and its third from 95 % of the maximum, and the position from the threshold track.
    int meterMax = 0;
    int meterFirst = 0;
    int meterSecond = 0;
    int meterPosition = 0;
    bool overBoxPower = false;  // P above the box power: the warning shows
};

// The check of unit `unit` (1 OUT 1-2, 2 SUB) as it is designed now: L = 29.6 + y_max - off with
// y_max the curve's output at the 0 dBFS input point (18 dBu when bypassed, and never above 18),
// Vmax = 10^(L/20) x 0.775, P = (Vmax x g)^2 / Z, both reduced for an unbalanced signal. The meter
// position uses the threshold track position p and the ratio R: 101 - p for the limiter,
// 101 x 0.97 - (p - 100 / R) for the compressor, SUB 3 (limiter) or 6 (compressor) lower.
// Speaker settings read from a file may be anything: the meter values stay finite and small
// (NaN counts as 0), and a unit whose level or power is not a number is not reported as over.
PowerCheck checkOutputPower(const DynamicsUnit& unit, int unitNumber);

// P written as the readouts show it: rounded to 5 significant digits, then fixed without
// decimals ("3640"). Vmax: 3 significant digits, then fixed with 2 decimals ("4.16", "12.30").
// A value that is not finite is written "-" (see powerCheckProblem for why).
std::string powerWattsText(double powerW);
std::string voltageText(double vrms);
// Why the check of `unit` gives no power figure ("the load impedance is 0 ohm"): a load that is
// not a positive number, or an amplifier gain that is not a number, as a preset file may hold.
// Empty when it gives one.
std::string powerCheckProblem(const DynamicsUnit& unit);
// The two lines of the dynamics window's power memo.
std::array<std::string, 2> powerMemoLines(const PowerCheck& check);

// The speaker window's impedance list "2", "2.67", "4", "8", "16" and the values it stores.
inline constexpr int kImpedanceItems = 5;
inline constexpr std::array<const char*, kImpedanceItems> kImpedanceTexts = {"2", "2.67", "4", "8",
                                                                             "16"};
inline constexpr std::array<float, kImpedanceItems> kImpedanceOhms = {2.0f, 2.67f, 4.0f, 8.0f,
                                                                      16.0f};
// The entry that shows impedance `ohm`, matched by its rounded value (2, 3, 4, 8, 16; 2.67 rounds
// to 3); -1 when none matches.
int impedanceItemFor(double ohm);

// Ranges of the speaker window's spins.
inline constexpr int kBoxPowerMinW = 5;
inline constexpr int kBoxPowerMaxW = 4000;
inline constexpr int kAmpPowerMinW = 50;
inline constexpr int kAmpPowerMaxW = 4000;
inline constexpr int kAmpGainMin = 5;
inline constexpr int kAmpGainMax = 200;
// The box power spin steps by 100 at 1000 W and above, by 1 below 25 W, else by 25; the
// amplifier power spin by 25 below 1000 W, else by 100.
int boxPowerStep(double boxPowerW);
int ampPowerStep(double ampPowerW);
// The amplifier's voltage gain in dB (20 log10 g).
double ampGainDb(double gain);

// A rack window meter (0..61): 101 + T rounded, T the unit's threshold in dBFS; held to 0..61.
inline constexpr int kRackMeterMax = 61;
int rackMeterPosition(double thresholdDbfs);

}  // namespace kvn
