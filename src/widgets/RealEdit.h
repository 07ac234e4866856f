// A field for a real number held to a range and shown through a picture format.
#pragma once

#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <QTimer>

#include "widgets/NumberFormat.h"

namespace kvn::widgets {

// The field holds a value in [minimum, maximum] and shows it through its format ("0", "0.0", "00",
// "0.00"; see formatPattern). The value keeps its full precision; only the text is rounded.
//
// The user's text is applied on Enter (Return or the keypad's Enter) and when the field loses
// focus (except to its own context menu): a number, with '.' or ',' as decimal point, is held to
// the range, shown formatted and committed(value) is emitted, also when the value is unchanged.
// Text that is not a number brings back the text of the current value, emits inputRejected(text)
// and commits nothing. A typed number outside the range is committed as held and then reported
// with clamped(typed, held), unless the two read the same through the format. A refused or held
// entry makes the field flash. Up and Down arrows take the typed number (or the current value when
// the text is not a number), add or subtract the step, hold it to the range and commit it.
// Entering the field selects its whole text. setValue() changes the value by code without
// committing.
//
// With setEntryLimits() the field also says so in words: entryReported("200 cm is past the
// longest delay, 168.8 cm") after a held entry, entryReported("abc is not a number") after a
// refused one, for the window's status line.
//
// The undo and redo keys are left to the window (its undo of the configuration), not used for the
// text's own undo; a typed value that differs from the shown one is committed first, so that it
// is the step they undo.
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

    // The words of the held-entry report (see heldEntryText); none by default.
    void setEntryLimits(const EntryLimits& limits) { limits_ = limits; }

    // Marks the field for a moment (kFlashMs), as a refused or held entry does.
    static constexpr int kFlashMs = 700;
    void flash();
    bool isFlashing() const { return flashTimer_.isActive(); }

signals:
    void committed(double value);
    void inputRejected(const QString& text);
    // Emitted after committed(): the typed number lay outside the range and was held to `held`.
    // The field may show another value by then (what the commit's handlers made of it).
    void clamped(double typed, double held);
    // A held or refused entry in words (only with entry limits set), after the signals above.
    void entryReported(const QString& sentence);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString shownText() const;
    void showValue();
    void stepBy(int direction);

    double minimum_ = 0.0;
    double maximum_ = 100.0;
    double step_ = 1.0;
    double value_ = 0.0;
    QString format_ = QStringLiteral("0.0");
    int maxTextLength_ = 0;
    EntryLimits limits_;
    QTimer flashTimer_;
    QPalette unflashedPalette_;
};

}  // namespace kvn::widgets
