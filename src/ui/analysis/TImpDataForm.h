// The import window "Import Speaker Data": per output a path (typed, pasted, or chosen with
// "..."; checked when the field is left), the magnitude column of a file whose header names
// several (`Column1`..`Column3`, disabled for other files) and "Clear"; the format buttons with
// their indicators (Auto, the default while no file is named, recognises the format from each
// file's header, and stays chosen after an import); the reference level `dBspl`; a status line
// (`ImportStatus`) with what the last import told of each output; OK and Cancel. The choices
// wait in the window until OK, which imports the files and stores paths, format and reference
// level in the configuration as one undoable edit. An output whose file is refused keeps its
// curve and path; the window then stays open with the refusal on the status line, as it does
// when the import has anything else to tell; otherwise OK closes it. Cancel forgets the
// choices.
#pragma once

#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace kvn::ui {

class MeasurementImportService;
class TSensibilidadForm;

class TImpDataForm : public EditorForm {
    Q_OBJECT

public:
    // `service` must outlive the window.
    TImpDataForm(EditorContext& context, MeasurementImportService& service);

    // Shows the configuration's settings (any output: the window shows all three).
    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

    // The format code the window would import with now (kFormatAuto for Auto).
    int chosenFormat() const { return format_; }
    // The file dialog's filter for the chosen format.
    QString fileFilter() const;

protected:
    void refresh(const ConfigChange& change) override;
    // Its format and column choices follow loads and edits as they happen, shown or not.
    bool refreshesWhileHidden() const override { return true; }
    void showOutputNames() override;

private:
    void addOutputRow(QGridLayout* grid, int output);
    void chooseFile(int output);
    // A path typed, pasted or chosen: held to the length a preset keeps, checked for reading,
    // and its header's magnitude columns offered.
    void pathEdited(std::size_t index);
    // The column chooser of one output, for the file its edit names.
    void showColumns(std::size_t index);
    void showStatus();
    // A format button's click: the dBu format first opens the "Input Sensitivity" window.
    void chooseFormat(int code);
    // Lights the code's button (none for a code without one) and takes it as the choice.
    void selectFormat(int code);
    void ok();
    void cancel();
    // The controls as the configuration holds them.
    void showSettings();

    MeasurementImportService& service_;
    TSensibilidadForm* sensitivity_;
    std::array<QLabel*, kOutputCount> names_{};       // Out1L..Out3L
    std::array<QLineEdit*, kOutputCount> paths_{};    // Edit1..Edit3
    std::array<QComboBox*, kOutputCount> columns_{};  // Column1..Column3
    // The path each edit held when last checked, to go back to when a new one is refused.
    std::array<QString, kOutputCount> checkedPaths_{};
    widgets::LedGroup* formats_;
    std::vector<int> buttonCodes_;  // the format code of each member of formats_
    QLabel* status_;                // ImportStatus
    widgets::RealEdit* reference_;  // dBspl
    int format_;
    // The user chose Auto: it stays chosen although the configuration stores the format found.
    bool autoChosen_;
};

}  // namespace kvn::ui
