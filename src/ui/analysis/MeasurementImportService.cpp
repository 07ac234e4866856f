#include "ui/analysis/MeasurementImportService.h"

#include "ui/main/ConfigEdits.h"
#include "ui/main/UserDialogs.h"

#include <algorithm>

namespace kvn::ui {

MeasurementImportService::MeasurementImportService(ConfigEdits& edits, UserDialogs& dialogs,
                                                   std::function<QString()> fallbackFolder,
                                                   QObject* parent)
    : QObject(parent),
      edits_(edits),
      dialogs_(dialogs),
      fallbackFolder_(std::move(fallbackFolder)),
      imported_(configInputs()) {
    connect(&edits_, &ConfigEdits::changed, this, &MeasurementImportService::changed);
    if (std::any_of(imported_.paths.begin(), imported_.paths.end(),
                    [](const std::string& p) { return !p.empty(); })) {
        reimport();
    }
}

void MeasurementImportService::setMicMvPerPa(double mvPerPa) {
    micMvPerPa_ = std::clamp(mvPerPa, analysis::kMicMvPerPaMin, analysis::kMicMvPerPaMax);
}

MeasurementImportService::Inputs MeasurementImportService::configInputs() const {
    const ProcessorConfig& c = edits_.config();
    return {c.MeasurementFile, c.MeasurementFormat, c.MeasurementSpl};
}

analysis::MeasurementImport MeasurementImportService::run(
    const std::array<std::string, kOutputCount>& paths,
    const analysis::MeasurementSettings& settings) {
    const QString folder = fallbackFolder_ ? fallbackFolder_() : QString();
    analysis::MeasurementImport imported =
        analysis::importMeasurements(paths, settings, folder.toStdString());
    for (const std::string& message : imported.messages) {
        const QString text = QString::fromStdString(message);
        if (message == analysis::kNotEnoughMemoryText) {
            dialogs_.error(text);
        } else {
            dialogs_.warn(text);
        }
    }
    return imported;
}

void MeasurementImportService::keep(const analysis::MeasurementImport& imported,
                                    const Inputs& inputs) {
    curves_ = imported.curves;
    formats_ = imported.formats;
    imported_ = inputs;
    edits_.notify(ConfigChange{
        QStringLiteral("Measurement import"), {link::EditScope::quiet()}, false, this});
}

int MeasurementImportService::importFromWindow(std::array<std::string, kOutputCount>& paths,
                                               int format, double referenceDb, int current) {
    analysis::MeasurementSettings settings{format, referenceDb, micMvPerPa_ / 1000.0};
    const analysis::MeasurementImport imported = run(paths, settings);
    for (std::size_t o = 0; o < paths.size(); ++o) {
        if (imported.statuses[o] == analysis::MeasurementStatus::Rejected) {
            paths[o].clear();
        }
    }
    int stored = format;
    if (format == analysis::kFormatAuto) {
        const auto found = std::find_if(imported.formats.begin(), imported.formats.end(),
                                        [](int f) { return f != analysis::kFormatAuto; });
        stored = found != imported.formats.end() ? *found : current;
    }
    // The preset keeps the reference level in single precision: compare as it will be stored.
    keep(imported, {paths, stored, static_cast<float>(referenceDb)});
    return stored;
}

void MeasurementImportService::reimport() {
    const Inputs inputs = configInputs();
    keep(run(inputs.paths, analysis::measurementSettings(edits_.config(), micMvPerPa_)), inputs);
}

void MeasurementImportService::changed(const ConfigChange& change) {
    if (change.origin == this) {
        return;
    }
    // A loaded configuration (New, Open, Read) imports its files again even when they are named
    // as before: they may have changed on disk, or be found in the new preset's folder.
    const bool loaded = change.whole && change.description.isEmpty();
    if (loaded || configInputs() != imported_) {
        reimport();
    }
}

}  // namespace kvn::ui
