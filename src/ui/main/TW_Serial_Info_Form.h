// The transfer window "Serial Interface": the port in use (`Info_Com_Label`), the step of the
// transfer (`Info`) and the amount sent or received (`ProgressBar`). The device link drives it
// through the slots; an error text stays visible until the user closes the window or the next
// transfer starts.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kvn::ui {

class TW_Serial_Info_Form : public QWidget {
    Q_OBJECT

public:
    explicit TW_Serial_Info_Form(QWidget* parent = nullptr);

    QString portText() const;
    QString infoText() const;
    int gaugeMaximum() const;
    int gaugePosition() const;

public slots:
    // "Comunication Port : COM1" .. "Comunication Port : USB".
    void setPortText(const QString& text);
    void setInfo(const QString& text);
    // A maximum of 0 shows an empty gauge.
    void setGaugeMaximum(int maximum);
    void setGaugePosition(int position);
    void showWindow();
    // Hides the window; does nothing when it is hidden.
    void closeWindow();

private:
    QLabel* infoComLabel_;
    QLabel* info_;
    QProgressBar* progressBar_;
    QPushButton* closeButton_;
};

}  // namespace kvn::ui
