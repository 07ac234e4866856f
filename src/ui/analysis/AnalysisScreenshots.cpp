// The analysis windows' pictures for the documentation: a small two-way system with the sample
// measurements of a modelled top cabinet and subwoofer.
#include "ui/analysis/TAlignForm.h"
#include "ui/analysis/TFinalResponseForm.h"
#include "ui/analysis/TImpDataForm.h"

#include "analysis/MeasurementFormats.h"
#include "config/LevelControls.h"
#include "ui/main/ConfigEdits.h"

#include <QDir>
#include <QFile>

namespace kvn::ui {

namespace {

// The sample measurement `name`, copied to a folder a user might keep measurements in, so that
// the pictures show such a path and not the source tree's.
QString samplePath(const char* name) {
    const QDir source(QStringLiteral(KVN_SAMPLE_MEASUREMENTS));
    QDir folder(QDir::tempPath());
    folder.mkpath(QStringLiteral("Measurements"));
    folder.cd(QStringLiteral("Measurements"));
    const QString copy = folder.filePath(QString::fromLatin1(name));
    QFile::remove(copy);
    QFile::copy(source.filePath(QString::fromLatin1(name)), copy);
    return copy;
}

void setEdge(TXOVERPB& edge, std::uint8_t type, double hz) {
    edge.XoverType = type;
    edge.Order = 4;
    edge.FrequencyHz = hz;
    edge.design();
}

// Tops high-passed and SUB low-passed at 100 Hz (Linkwitz-Riley, 24 dB/octave), the right top
// 1.5 dB and SUB 5 dB down, SUB 1 ms later, a presence cut on the tops, and the measured speakers
// on every output.
void loadSampleSystem(ConfigEdits& edits) {
    edits.apply({QStringLiteral("Sample system"), {}, nullptr, true, true}, [](ProcessorConfig& c) {
        c.resetToNew();
        c.output(1).Name = "Top L";
        c.output(2).Name = "Top R";
        for (int output : {1, 2}) {
            OutputChannel& o = c.output(output);
            setEdge(o.HighPassEdge, kLinkwitzRileyHighPass, 100.0);
            PeqBand& band = o.band(1);
            band.FilterType = kParametric;
            band.FrequencyHz = 3200.0;
            band.Q = 2.0;
            band.GainDb = -2.5;
            band.design();
            c.MeasurementFile[static_cast<std::size_t>(output - 1)] =
                samplePath("top.frd").toStdString();
        }
        // The right top stands nearer the audience: 1.5 dB down.
        setLevelTrack(c.output(2), levelTrackFromDb(-1.5));
        setEdge(c.output(3).LowPassEdge, kLinkwitzRileyLowPass, 100.0);
        setLevelTrack(c.output(3), levelTrackFromDb(-5.0));
        c.output(3).DelaySamples = 48;
        c.MeasurementFile[2] = samplePath("sub.frd").toStdString();
        c.MeasurementFormat = analysis::kFormatFrd;
        c.MeasurementSpl = 96.0f;
    });
}

}  // namespace

std::vector<ScreenshotStep> TFinalResponseForm::screenshots() {
    return {{QStringLiteral("final-response.png"), [this]() -> QWidget* {
                 loadSampleSystem(context().edits);
                 openFor(0);
                 resize(sizeHint());
                 DibujaFinalResponse();
                 return this;
             }}};
}

std::vector<ScreenshotStep> TImpDataForm::screenshots() {
    return {{QStringLiteral("import.png"), [this]() -> QWidget* {
                 loadSampleSystem(context().edits);
                 openFor(0);
                 resize(sizeHint());
                 return this;
             }}};
}

std::vector<ScreenshotStep> TAlignForm::screenshots() {
    return {{QStringLiteral("align.png"), [this]() -> QWidget* {
                 loadSampleSystem(context().edits);
                 openFor(0);
                 resize(sizeHint());
                 if (find()) {
                     waitForSearch();
                 }
                 return this;
             }}};
}

}  // namespace kvn::ui
