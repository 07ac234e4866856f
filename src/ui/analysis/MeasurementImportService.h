// The measured loudspeaker curves of the three outputs at run time. They follow the import
// settings of the configuration (MeasurementFile, MeasurementFormat, MeasurementSpl): whenever a
// change leaves those different from what was last imported (an undo, an output copy, New), and
// whenever a configuration is loaded (New, Open, Read), the files are imported again, falling
// back on the folder of the preset last chosen in the open dialog for files that moved. The
// messages of rejected files are shown; the views are told through ConfigEdits::notify. The
// magnitude column chosen for each output's file in the import window is kept here for the
// running program (the preset does not keep it).
#pragma once

#include "analysis/MeasurementImport.h"
#include "analysis/TotalResponse.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

    struct WindowImport {
        // The paths to store: a refused output keeps the path it had.
        std::array<std::string, kOutputCount> paths;
        // The code to store as MeasurementFormat: the window's format, or with kFormatAuto the
        // format of the first file imported (the stored code when none was).
        int format = 0;
    };
    // The import window's OK: imports `paths` (with each output's column choice, empty for the
    // first magnitude column) with `format` (a code or kFormatAuto) and `referenceDb`, shows the
    // refusals, keeps the curves and tells the views. An output whose file is refused, cannot be
    // read, or is not reached after running out of memory keeps its curve, its stored path and
    // its column exactly as they were; an empty path clears the output. The caller then stores
    // the settings with one edit, which does not import again.
    WindowImport importFromWindow(const std::array<std::string, kOutputCount>& paths,
                                  const std::array<std::string, kOutputCount>& columns, int format,
                                  double referenceDb);
    // Imports the configuration's files again now.
    void reimport();

    // The magnitude column chosen for output `index` (0-based) with the file `path`; empty when
    // none was chosen for that file.
    std::string column(std::size_t index, const std::string& path) const;
    // What the last import told of each output: its refusal (never empty for a refused file), or
    // the notes of its file.
    const std::array<std::vector<std::string>, kOutputCount>& told() const { return told_; }

private:
    struct Inputs {
        std::array<std::string, kOutputCount> paths;
        int format = 0;
        double referenceDb = 0.0;
        bool operator==(const Inputs&) const = default;
    };

    struct ColumnChoice {
        std::string path;
        std::string column;
    };

    Inputs configInputs() const;
    void changed(const ConfigChange& change);
    analysis::MeasurementImport run(const std::array<std::string, kOutputCount>& paths,
                                    const analysis::MeasurementSettings& settings,
                                    const std::array<std::string, kOutputCount>& columns);
    void keep(const Inputs& inputs);

    ConfigEdits& edits_;
    UserDialogs& dialogs_;
    std::function<QString()> fallbackFolder_;
    analysis::MeasuredCurves curves_{};
    std::array<int, kOutputCount> formats_{analysis::kFormatAuto, analysis::kFormatAuto,
                                           analysis::kFormatAuto};
    double micMvPerPa_ = analysis::kDefaultMicMvPerPa;
    std::array<ColumnChoice, kOutputCount> columns_{};
    std::array<std::vector<std::string>, kOutputCount> told_{};
    Inputs imported_;
};

}  // namespace kvn::ui
