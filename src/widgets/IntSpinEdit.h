// An integer spin box whose change handler runs every time its value is set.
#pragma once

#include <QWidget>

class QSpinBox;

namespace kvn::widgets {

// valueChanged(value) is emitted for every setValue() call, also when the value does not change,
// and whenever the user changes the value (arrows, wheel, or a typed number once Enter is pressed
// or the field is left). Values are held to [minimum, maximum]; the arrows move by the single
// step (an order spin of 2..4 with step 2 offers 2 and 4 only). The undo and redo keys are left
// to the window, after a typed number not yet applied is taken as Enter takes it.
class IntSpinEdit : public QWidget {
    Q_OBJECT

public:
    explicit IntSpinEdit(QWidget* parent = nullptr);

    // A maximum below the minimum is taken as the minimum. When the new range moves the value,
    // valueChanged is emitted.
    void setRange(int minimum, int maximum);
    int minimum() const;
    int maximum() const;
    void setSingleStep(int step);

    void setValue(int value);
    int value() const;

    // When false the number cannot be typed, only stepped.
    void setTypeable(bool typeable);
    void setSuffix(const QString& suffix);

signals:
    void valueChanged(int value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSpinBox* spin_;
    bool settingByCode_ = false;
};

}  // namespace kvn::widgets
