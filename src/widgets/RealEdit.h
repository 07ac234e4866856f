// A field for a real number held to a range and shown through a picture format.
#pragma once

#include <QLineEdit>
#include <QString>

namespace kvn::widgets {

// The field holds a value in [minimum, maximum] and shows it through its format ("0", "0.0", "00",
// "0.00"; see formatPattern). The value keeps its full precision; only the text is rounded.
//
// The user's text is applied on Enter (Return or the keypad's Enter) and when the field loses
// focus (except to its own context menu): a number, with '.' or ',' as decimal point, is held to
// the range, shown formatted and committed(value) is emitted, also when the value is unchanged.
// Text that is not a number brings back the text of the current value, emits inputRejected(text)
// and commits nothing. Up and Down arrows take the typed number (or the current value when the
// text is not a number), add or subtract the step, hold it to the range and commit it. Entering
// the field selects its whole text. setValue() changes the value by code without committing.
class RealEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit RealEdit(QWidget* parent = nullptr);

    // A maximum below the minimum is taken as the minimum. The value is held to the new range.
    void setRange(double minimum, double maximum);
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }

    // An unknown format is refused (returns false) and the field keeps its format.
    bool setFormat(const QString& format);
    QString format() const { return format_; }

    // Arrow-key step; 1 by default.
    void setStep(double step);
    double step() const { return step_; }

    // Holds the value to the range and shows it; emits nothing. NaN is ignored.
    void setValue(double value);
    double value() const { return value_; }

    // Longest text the user may type (0: no limit). Unlike QLineEdit::setMaxLength, which cuts
    // any text including the field's own, this never shortens the shown value.
    void setMaxTextLength(int length);
    int maxTextLength() const { return maxTextLength_; }

    // Applies the text now, as Enter does; returns false when it was not a number.
    bool commitText();

signals:
    void committed(double value);
    void inputRejected(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();
    void stepBy(int direction);

    double minimum_ = 0.0;
    double maximum_ = 100.0;
    double step_ = 1.0;
    double value_ = 0.0;
    QString format_ = QStringLiteral("0.0");
    int maxTextLength_ = 0;
};

}  // namespace kvn::widgets
