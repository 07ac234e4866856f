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
    const analysis::MeasurementSettings& settings,
    const std::array<std::string, kOutputCount>& columns) {
    const QString folder = fallbackFolder_ ? fallbackFolder_() : QString();
    analysis::MeasurementImport imported =
        analysis::importMeasurements(paths, settings, folder.toStdString(), columns);
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

void MeasurementImportService::keep(const Inputs& inputs) {
    imported_ = inputs;
    edits_.notify(ConfigChange{
        QStringLiteral("Measurement import"), {link::EditScope::quiet()}, false, this});
}

std::string MeasurementImportService::column(std::size_t index, const std::string& path) const {
    const ColumnChoice& choice = columns_.at(index);
    return choice.path == path ? choice.column : std::string();
}

MeasurementImportService::WindowImport MeasurementImportService::importFromWindow(
    const std::array<std::string, kOutputCount>& paths,
    const std::array<std::string, kOutputCount>& columns, int format, double referenceDb) {
    const analysis::MeasurementSettings settings{format, referenceDb, micMvPerPa_ / 1000.0};
    const analysis::MeasurementImport imported = run(paths, settings, columns);
    const Inputs before = configInputs();
    WindowImport result{before.paths, format};
    bool stopped = false;  // out of memory: the outputs from there on were not read
    int found = analysis::kFormatAuto;
    for (std::size_t o = 0; o < paths.size(); ++o) {
        const analysis::MeasurementStatus status = imported.statuses[o];
        stopped = stopped || status == analysis::MeasurementStatus::OutOfMemory;
        if (paths[o].empty()) {
            curves_[o] = {};
            formats_[o] = analysis::kFormatAuto;
            columns_[o] = {};
            told_[o].clear();
            result.paths[o].clear();
        } else if (status == analysis::MeasurementStatus::Imported) {
            curves_[o] = imported.curves[o];
            formats_[o] = imported.formats[o];
            columns_[o] = {paths[o], columns[o]};
            told_[o] = imported.notes[o];
            result.paths[o] = paths[o];
            found = found == analysis::kFormatAuto ? formats_[o] : found;
        } else {
            // Refused: the output stays exactly as it was.
            if (stopped) {
                told_[o] = {std::string(analysis::kNotEnoughMemoryText)};
            } else if (status == analysis::MeasurementStatus::Unreadable) {
                told_[o] = {analysis::unreadableText(paths[o])};
                dialogs_.warn(QString::fromStdString(told_[o].front()));
            } else {
                told_[o] = {imported.refusals[o]};
            }
        }
    }
    if (format == analysis::kFormatAuto) {
        result.format = found != analysis::kFormatAuto ? found : before.format;
    }
    // The preset keeps the reference level in single precision: compare as it will be stored.
    keep({result.paths, result.format, static_cast<float>(referenceDb)});
    return result;
}

void MeasurementImportService::reimport() {
    const Inputs inputs = configInputs();
    std::array<std::string, kOutputCount> columns;
    for (std::size_t o = 0; o < columns.size(); ++o) {
        columns[o] = column(o, inputs.paths[o]);
    }
    const analysis::MeasurementImport imported =
        run(inputs.paths, analysis::measurementSettings(edits_.config(), micMvPerPa_), columns);
    curves_ = imported.curves;
    formats_ = imported.formats;
    for (std::size_t o = 0; o < told_.size(); ++o) {
        // A file refused now leaves its output flat: the status says why, as the message did.
        const bool unread = imported.statuses[o] == analysis::MeasurementStatus::Unreadable &&
                            !inputs.paths[o].empty();
        told_[o] = !imported.refusals[o].empty() ? std::vector{imported.refusals[o]}
                   : unread ? std::vector{analysis::unreadableText(inputs.paths[o])}
                            : imported.notes[o];
    }
    keep(inputs);
}

void MeasurementImportService::changed(const ConfigChange& change) {
    if (change.origin == this) {
        return;
    }
    // A loaded configuration (New, Open, Read) imports its files again even when they are named
    // as before: they may have changed on disk, or be found in the new preset's folder.
    const bool loaded = change.whole && change.description.isEmpty();
    if (loaded) {
        columns_ = {};
    }
    if (loaded || configInputs() != imported_) {
        reimport();
    }
}

}  // namespace kvn::ui
