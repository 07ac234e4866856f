// The measured loudspeaker curves of the three outputs at run time. They follow the import
// settings of the configuration (MeasurementFile, MeasurementFormat, MeasurementSpl): whenever a
// change leaves those different from what was last imported (an undo, an output copy, New), and
// whenever a configuration is loaded (New, Open, Read), the files are imported again, falling
// back on the folder of the preset last chosen in the open dialog for files that moved. The
// messages of rejected files are shown; the views are told through ConfigEdits::notify.
#pragma once

#include "analysis/MeasurementImport.h"
#include "analysis/TotalResponse.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace kvn::ui {

class ConfigEdits;
class UserDialogs;
struct ConfigChange;

class MeasurementImportService : public QObject {
    Q_OBJECT

public:
    // `fallbackFolder` gives the folder to look in for files that cannot be read where their path
    // says (empty: none). The references must outlive the service.
    MeasurementImportService(ConfigEdits& edits, UserDialogs& dialogs,
                             std::function<QString()> fallbackFolder, QObject* parent = nullptr);

    // Each output's measured curve (index 0 = Output 1): zeros where nothing is imported.
    const analysis::MeasuredCurves& curves() const { return curves_; }
    // The format each output's file was read with; kFormatAuto where none was imported.
    const std::array<int, kOutputCount>& formats() const { return formats_; }

    // The microphone of the dBu format in mV/Pa (the "Input Sensitivity" window), 1..999; the
    // preset does not keep it. A new value is held to the range; it applies from the next import.
    double micMvPerPa() const { return micMvPerPa_; }
    void setMicMvPerPa(double mvPerPa);

    // The import window's OK: imports `paths` with `format` (a code or kFormatAuto) and
    // `referenceDb`, shows the messages, keeps the curves and tells the views. The path of a
    // rejected file is emptied, so that nothing of it is stored. Returns the code to store as
    // MeasurementFormat: `format`, or with kFormatAuto the format of the first file imported
    // (`current` when none was). The caller then stores the settings with one edit, which does
    // not import again.
    int importFromWindow(std::array<std::string, kOutputCount>& paths, int format,
                         double referenceDb, int current);
    // Imports the configuration's files again now.
    void reimport();

private:
    struct Inputs {
        std::array<std::string, kOutputCount> paths;
        int format = 0;
        double referenceDb = 0.0;
        bool operator==(const Inputs&) const = default;
    };

    Inputs configInputs() const;
    void changed(const ConfigChange& change);
    analysis::MeasurementImport run(const std::array<std::string, kOutputCount>& paths,
                                    const analysis::MeasurementSettings& settings);
    void keep(const analysis::MeasurementImport& imported, const Inputs& inputs);

    ConfigEdits& edits_;
    UserDialogs& dialogs_;
    std::function<QString()> fallbackFolder_;
    analysis::MeasuredCurves curves_{};
    std::array<int, kOutputCount> formats_{analysis::kFormatAuto, analysis::kFormatAuto,
                                           analysis::kFormatAuto};
    double micMvPerPa_ = analysis::kDefaultMicMvPerPa;
    Inputs imported_;
};

}  // namespace kvn::ui
