// The loading window: shown while New resets the configuration, while a preset file is opened
// and while an image read from the processor is decoded. A title (`Label1`), a step text
// (`InfoL`), a bar (`ProgressBar1`) and the "Loading..." label (`Label2`).
#pragma once

#include "ui/main/LoadingProgress.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace kvn::ui {

class TProgresionForm : public QWidget, public LoadingProgress {
    Q_OBJECT

public:
    explicit TProgresionForm(QWidget* parent = nullptr);

    // Shows the window with its bar visible at 0 %, `title` in Label1 and no step yet.
    void beginStages(const QString& title) override;
    // Sets the bar to `percent` (0..100) and the step text, and paints them at once so that the
    // step is seen even while the window thread is busy.
    void setStage(int percent, const QString& text) override;
    // The decoding look: bar hidden, title and step a single space, "Loading..." visible.
    void beginDecoding() override;
    // Hides the window and its "Loading..." label; does nothing when it is hidden.
    void closeWindow() override;

    QString title() const;
    QString stepText() const;
    int percent() const;
    bool barVisible() const;
    bool loadingLabelVisible() const;

private:
    void present();

    QLabel* label1_;
    QLabel* infoL_;
    QProgressBar* progressBar1_;
    QLabel* label2_;
};

}  // namespace kvn::ui
