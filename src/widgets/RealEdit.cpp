// Real-number edit field.
#include "widgets/RealEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <cmath>

#include "widgets/HistoryKeys.h"
#include "widgets/NumberFormat.h"

namespace kvn::widgets {

namespace {

// The colour a field flashes in.
const QColor kFlashColor(0xff, 0xd5, 0x4f);

// Limits what the user types; setText() is not validated, so the field's own text is never cut.
class LengthValidator : public QValidator {
public:
    LengthValidator(const int* maxLength, QObject* parent)
        : QValidator(parent), maxLength_(maxLength) {}

    State validate(QString& input, int&) const override {
        return *maxLength_ > 0 && input.size() > *maxLength_ ? Invalid : Acceptable;
    }

private:
    const int* maxLength_;
};

}  // namespace

RealEdit::RealEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new LengthValidator(&maxTextLength_, this));
    flashTimer_.setSingleShot(true);
    connect(&flashTimer_, &QTimer::timeout, this, [this] { setPalette(unflashedPalette_); });
    showValue();
}

void RealEdit::setMaxTextLength(int length) {
    maxTextLength_ = std::max(length, 0);
}

void RealEdit::setRange(double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) {
        return;
    }
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    setValue(value_);
}

bool RealEdit::setFormat(const QString& format) {
    if (!isValidPattern(format.toStdString())) {
        return false;
    }
    format_ = format;
    showValue();
    return true;
}

void RealEdit::setStep(double step) {
    if (std::isfinite(step)) {
        step_ = step;
    }
}

void RealEdit::setValue(double value) {
    if (std::isnan(value)) {
        return;
    }
    value_ = std::clamp(value, minimum_, maximum_);
    showValue();
}

QString RealEdit::shownText() const {
    return QString::fromStdString(formatPattern(value_, format_.toStdString()));
}

void RealEdit::showValue() {
    // Setting a field's text lays it out again even when the text is the same; under a drag most
    // values do not change from one move to the next.
    const QString shown = shownText();
    if (shown != text()) {
        setText(shown);
    }
}

void RealEdit::flash() {
    if (!flashTimer_.isActive()) {
        unflashedPalette_ = palette();
        QPalette lit = unflashedPalette_;
        lit.setColor(QPalette::Base, kFlashColor);
        setPalette(lit);
    }
    flashTimer_.start(kFlashMs);
}

bool RealEdit::commitText() {
    const auto typed = parseReal(text().toStdString());
    if (!typed) {
        const QString rejected = text();
        showValue();
        flash();
        emit inputRejected(rejected);
        if (!limits_.above.empty()) {
            emit entryReported(QString::fromStdString(notANumberText(rejected.toStdString())));
        }
        return false;
    }
    setValue(*typed);
    const double held = value_;
    // Held by the range in a way the user can see: 4.876 shown as "4.88" against 4.875 is not.
    const bool wasHeld =
        formatPattern(*typed, format_.toStdString()) != formatPattern(held, format_.toStdString());
    emit committed(value_);
    if (wasHeld) {
        flash();
        emit clamped(*typed, held);
        if (!limits_.above.empty()) {
            emit entryReported(
                QString::fromStdString(heldEntryText(*typed, held, text().toStdString(), limits_)));
        }
    }
    return true;
}

bool RealEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        isHistoryKey(*static_cast<QKeyEvent*>(event))) {
        if (!isReadOnly() && text() != shownText()) {
            commitText();
        }
        // Not taken here: the window's shortcut gets the key.
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void RealEdit::stepBy(int direction) {
    const double base = parseReal(text().toStdString()).value_or(value_);
    setValue(base + direction * step_);
    emit committed(value_);
}

void RealEdit::keyPressEvent(QKeyEvent* event) {
    if (isHistoryKey(*event)) {
        event->ignore();
        return;
    }
    if (isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            commitText();
            return;
        case Qt::Key_Up:
            stepBy(+1);
            return;
        case Qt::Key_Down:
            stepBy(-1);
            return;
        default:
            QLineEdit::keyPressEvent(event);
    }
}

void RealEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Deferred: a mouse click that gives the focus places the cursor after this event and would
    // undo an immediate selection.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) {
            selectAll();
        }
    });
}

void RealEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && !isReadOnly()) {
        commitText();
    }
}

}  // namespace kvn::widgets
