// The "Input Sensitivity" window: the microphone sensitivity in mV/Pa (1..999) with which levels
// of the dBu measurement format are turned into sound pressure. Shown modally (without blocking
// the caller) when the dBu format is chosen; the value applies when the field is left or OK is
// pressed.
#pragma once

#include <QDialog>

namespace kvn::widgets {
class RealEdit;
}

namespace kvn::ui {

class MeasurementImportService;

class TSensibilidadForm : public QDialog {
    Q_OBJECT

public:
    // `service` must outlive the window.
    TSensibilidadForm(MeasurementImportService& service, QWidget* parent);

    // Shows the service's present value and opens the window.
    void openModal();

private:
    void apply();

    MeasurementImportService& service_;
    widgets::RealEdit* field_;  // SensibilidadEdit
};

}  // namespace kvn::ui
