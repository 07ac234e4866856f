// The import window "Import Speaker Data": per output a path (read-only), "..." to choose a file
// and "Clear"; the format buttons with their indicators (Auto, the default while no file is
// named, recognises the format from each file's header); the reference level `dBspl`; OK and
// Cancel. The choices wait in the window until OK, which imports the files (the messages of
// rejected files are shown, those outputs stay flat and their paths are not kept), stores paths,
// format and reference level in the configuration as one undoable edit and closes the window.
// Cancel forgets the choices.
#pragma once

#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>

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
    void showOutputNames() override;

private:
    void addOutputRow(QGridLayout* grid, int output);
    void chooseFile(int output);
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
    std::array<QLabel*, kOutputCount> names_{};     // Out1L..Out3L
    std::array<QLineEdit*, kOutputCount> paths_{};  // Edit1..Edit3
    widgets::LedGroup* formats_;
    std::vector<int> buttonCodes_;  // the format code of each member of formats_
    widgets::RealEdit* reference_;  // dBspl
    int format_;
};

}  // namespace kvn::ui
