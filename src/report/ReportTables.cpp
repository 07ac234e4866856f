// The report's table texts from the configuration.
#include "report/ReportTables.h"

#include <array>
#include <cmath>

#include "config/DelayControls.h"
#include "config/DynamicsControls.h"
#include "config/LevelControls.h"
#include "config/PowerCheck.h"
#include "dsp/DynamicsMath.h"
#include "dsp/FixedSubPath.h"

namespace kvn::report {
namespace {

const QString kNone = QStringLiteral("-");

QString text(const std::string& value) {
    const QString s = QString::fromStdString(value).trimmed();
    return s.isEmpty() ? kNone : s;
}

// A value that is not finite (settings a preset file may hold) is shown as "-", never as inf.
QString number(double value, int decimals) {
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : kNone;
}

QString hz(double frequencyHz) {
    return number(frequencyHz, frequencyHz < 100.0 ? 1 : 0) + QStringLiteral(" Hz");
}

}  // namespace

QString levelText(double valueDb) {
    // Rounded first, so that a level that prints as zero has no sign ("-0.0 dB" and "+0.0 dB"
    // would read as a cut or a boost).
    const double tenths = std::round(valueDb * 10.0);
    if (!std::isfinite(tenths)) {
        return kNone;  // no level at all: a gain of 0
    }
    if (tenths == 0.0) {
        return QStringLiteral("0.0 dB");
    }
    return (tenths > 0.0 ? QStringLiteral("+") : QString()) + number(tenths / 10.0, 1) +
           QStringLiteral(" dB");
}

namespace {

bool usesGain(int type) {
    return type == kParametric || type == kShelvLow6dB || type == kShelvHigh6dB ||
           type == kBandPass || type == kLowShelfSlope || type == kHighShelfSlope;
}

bool usesQ(int type) {
    return type == kParametric || type == kBandPass || type == kStopBand || type == kAllPass2 ||
           type == kLowPassQ || type == kHiPassQ || type == kLowShelfSlope ||
           type == kHighShelfSlope;
}

QString bandTypeName(int type) {
    if (type == kLowShelfSlope) {
        return QStringLiteral("Low Shelf, slope");
    }
    if (type == kHighShelfSlope) {
        return QStringLiteral("High Shelf, slope");
    }
    const QString name = QString::fromLatin1(filterTypeName(type));
    return name.isEmpty() ? QStringLiteral("Unknown (%1)").arg(type) : name;
}

QString familyName(std::uint8_t xoverType) {
    static const std::array<const char*, 4> kFamilies = {"Bypass", "Butterworth", "Linkwitz-Riley",
                                                         "Bessel"};
    const std::size_t family = (static_cast<std::size_t>(xoverType) + 1) / 2;
    return family < kFamilies.size() ? QString::fromLatin1(kFamilies[family])
                                     : QStringLiteral("Unknown (%1)").arg(xoverType);
}

QStringList edgeRow(const QString& output, const QString& edge, const TXOVERPB& e) {
    if (e.XoverType == kXoverBypass) {
        return {output, edge, familyName(e.XoverType), kNone, kNone};
    }
    return {output, edge, familyName(e.XoverType),
            QStringLiteral("%1 (%2 dB/oct)").arg(e.Order).arg(6 * e.Order), hz(e.FrequencyHz)};
}

QString unitName(int unit) {
    return unit == 1 ? QStringLiteral("OUT 1-2") : QStringLiteral("SUB");
}

}  // namespace

QString outputLabel(const ProcessorConfig& config, int output) {
    const QString base = QString::fromStdString(outputTitle(output));
    const QString name = QString::fromStdString(config.output(output).Name).trimmed();
    return name.isEmpty() ? base : QStringLiteral("%1 (%2)").arg(base, name);
}

QString inputLabel(const ProcessorConfig& config, int input) {
    const QString base = input == 1 ? QStringLiteral("A") : QStringLiteral("B");
    const QString name =
        QString::fromStdString(config.InputName[static_cast<std::size_t>(input - 1)]).trimmed();
    return name.isEmpty() ? base : QStringLiteral("%1 (%2)").arg(base, name);
}

QString routeText(int route) {
    switch (route) {
        case kRouteAB:
            return QStringLiteral("A+B");
        case kRouteB:
            return QStringLiteral("B");
        default:
            return QStringLiteral("A");
    }
}

QList<QStringList> coverFacts(const ProcessorConfig& config, const ReportSource& source) {
    return {
        {QStringLiteral("System"), text(config.SystemName)},
        {QStringLiteral("Project"), text(config.ProjectName)},
        {QStringLiteral("Engineer"), text(config.Engineer)},
        {QStringLiteral("Date"),
         source.date.isValid() ? source.date.toString(QStringLiteral("d MMMM yyyy")) : kNone},
        {QStringLiteral("Preset file"), source.presetFile.isEmpty() ? kNone : source.presetFile},
        {QStringLiteral("Inputs"),
         inputLabel(config, 1) + QStringLiteral(", ") + inputLabel(config, 2)},
        {QStringLiteral("Temperature"), QStringLiteral("%1 °C").arg(config.Temperature)},
    };
}

ReportTable outputsTable(const ProcessorConfig& config) {
    ReportTable t{QStringLiteral("Outputs"),
                  {QStringLiteral("Output"), QStringLiteral("Input"), QStringLiteral("Level"),
                   QStringLiteral("Muted"), QStringLiteral("Polarity"), QStringLiteral("Delay"),
                   QStringLiteral("Distance")},
                  {}};
    for (int o = 1; o <= kOutputCount; ++o) {
        const OutputChannel& out = config.output(o);
        t.rows.append(
            {outputLabel(config, o), routeText(out.Route), levelText(levelDbFromGain(out.Gain)),
             out.Muted ? QStringLiteral("yes") : QStringLiteral("no"),
             out.Inverted ? QStringLiteral("Inverted") : QStringLiteral("Normal"),
             QStringLiteral("%1 ms (%2 cm)")
                 .arg(number(delayMsFromSamples(out.DelaySamples), 3),
                      number(delayCmFromSamples(out.DelaySamples, config.Temperature), 1)),
             number(distanceCmFromSamples(out.RelativeDistanceSamples, config.Temperature), 1) +
                 QStringLiteral(" cm")});
    }
    return t;
}

ReportTable crossoverTable(const ProcessorConfig& config) {
    ReportTable t{QStringLiteral("Crossover"),
                  {QStringLiteral("Output"), QStringLiteral("Edge"), QStringLiteral("Filter"),
                   QStringLiteral("Order"), QStringLiteral("Frequency")},
                  {}};
    for (int o = 1; o <= kOutputCount; ++o) {
        const OutputChannel& out = config.output(o);
        t.rows.append(
            edgeRow(outputLabel(config, o), QStringLiteral("High-pass"), out.HighPassEdge));
        t.rows.append(edgeRow(QString(), QStringLiteral("Low-pass"), out.LowPassEdge));
    }
    t.rows.append({QString(), QStringLiteral("SUB path"), familyName(kButterworthLowPass),
                   QStringLiteral("fixed"), hz(kFixedSubPathHz)});
    return t;
}

ReportTable equaliserTable(const ProcessorConfig& config, int output) {
    ReportTable t{QStringLiteral("Equaliser of ") + outputLabel(config, output),
                  {QStringLiteral("Band"), QStringLiteral("Type"), QStringLiteral("Frequency"),
                   QStringLiteral("Gain"), QStringLiteral("Q")},
                  {}};
    const OutputChannel& out = config.output(output);
    for (int b = 1; b <= peqBandCount(output); ++b) {
        const PeqBand& band = out.band(b);
        const int type = band.FilterType;
        if (type == kBypass) {
            t.rows.append({QString::number(b), bandTypeName(type), kNone, kNone, kNone});
            continue;
        }
        const bool slope = type == kLowShelfSlope || type == kHighShelfSlope;
        t.rows.append(
            {QString::number(b), bandTypeName(type), hz(band.FrequencyHz),
             usesGain(type) ? levelText(band.GainDb) : kNone,
             usesQ(type) ? (slope ? QStringLiteral("S ") : QString()) + number(band.Q, 2) : kNone});
    }
    return t;
}

ReportTable dynamicsTable(const ProcessorConfig& config) {
    ReportTable t{QStringLiteral("Dynamics"),
                  {QStringLiteral("Setting"), unitName(1) + QStringLiteral(" (Output 1, Output 2)"),
                   unitName(2)},
                  {}};
    std::array<DynamicsControls, kDynamicsUnits> shown{showDynamicsUnit(config, 1),
                                                       showDynamicsUnit(config, 2)};
    const auto row = [&](const QString& label, const auto& value) {
        QStringList cells{label};
        for (int u = 1; u <= kDynamicsUnits; ++u) {
            cells << value(config.unit(u), shown[static_cast<std::size_t>(u - 1)], u);
        }
        t.rows.append(cells);
    };
    using Unit = const DynamicsUnit&;
    using Shown = const DynamicsControls&;
    row(QStringLiteral("Type"), [](Unit d, Shown, int) {
        const QString type =
            d.kneeType == kCompressor ? QStringLiteral("Compressor") : QStringLiteral("Limiter");
        return d.bypass != 0 ? type + QStringLiteral(" (bypassed)") : type;
    });
    row(QStringLiteral("Threshold"), [](Unit d, Shown, int u) {
        return number(dbfsToDbu(d.thresholdDbfs, u), 1) + QStringLiteral(" dBu (") +
               number(d.thresholdDbfs, 1) + QStringLiteral(" dBFS)");
    });
    row(QStringLiteral("Ratio"), [](Unit d, Shown, int) {
        return d.kneeType == kCompressor ? number(d.ratio, 1) + QStringLiteral(":1") : kNone;
    });
    row(QStringLiteral("Knee"),
        [](Unit d, Shown, int) { return number(d.kneeDb, 1) + QStringLiteral(" dB"); });
    row(QStringLiteral("Attack"),
        [](Unit, Shown s, int) { return number(s.attackDbPerS, 0) + QStringLiteral(" dB/s"); });
    row(QStringLiteral("Hold"),
        [](Unit, Shown s, int) { return number(s.holdMs, 1) + QStringLiteral(" ms"); });
    row(QStringLiteral("Release"),
        [](Unit, Shown s, int) { return number(s.releaseDbPerS, 0) + QStringLiteral(" dB/s"); });
    row(QStringLiteral("Look-ahead"),
        [](Unit, Shown s, int) { return number(s.lookAheadMs, 2) + QStringLiteral(" ms"); });
    row(QStringLiteral("Noise gate"), [](Unit d, Shown s, int) {
        return s.noiseItem >= 0
                   ? QString::fromLatin1(kNoiseItemTexts[static_cast<std::size_t>(s.noiseItem)])
                   : QStringLiteral("level %1, slope %2")
                         .arg(number(d.gateLevel, 0), number(d.gateSlope, 0));
    });
    row(QStringLiteral("Speaker"), [](Unit d, Shown, int) {
        return QStringLiteral("%1 ohm, %2 W")
            .arg(number(d.loadImpedanceOhm,
                        d.loadImpedanceOhm == std::round(d.loadImpedanceOhm) ? 0 : 2),
                 number(d.boxPowerW, 0));
    });
    row(QStringLiteral("Amplifier"), [](Unit d, Shown, int) {
        return QStringLiteral("%1 W, gain %2 dB, %3")
            .arg(number(d.ampPowerW, 0), number(ampGainDb(d.ampGain), 1),
                 d.balanced != 0 ? QStringLiteral("balanced") : QStringLiteral("unbalanced"));
    });
    row(QStringLiteral("Power into the box"), [](Unit d, Shown, int u) {
        const PowerCheck check = checkOutputPower(d, u);
        if (const std::string why = powerCheckProblem(d); !why.empty()) {
            return kNone + QStringLiteral(" (") + QString::fromStdString(why) + QStringLiteral(")");
        }
        const QString watts =
            QString::fromStdString(powerWattsText(check.powerW)) + QStringLiteral(" W");
        return check.overBoxPower ? watts + QStringLiteral(" - above the box rating") : watts;
    });
    return t;
}

}  // namespace kvn::report
