// Real-number edit field.
#include "widgets/RealEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <cmath>

#include "widgets/NumberFormat.h"

namespace kvn::widgets {

namespace {

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

void RealEdit::showValue() {
    // Setting a field's text lays it out again even when the text is the same; under a drag most
    // values do not change from one move to the next.
    const QString shown = QString::fromStdString(formatPattern(value_, format_.toStdString()));
    if (shown != text()) {
        setText(shown);
    }
}

bool RealEdit::commitText() {
    const auto typed = parseReal(text().toStdString());
    if (!typed) {
        const QString rejected = text();
        showValue();
        emit inputRejected(rejected);
        return false;
    }
    setValue(*typed);
    emit committed(value_);
    return true;
}

void RealEdit::stepBy(int direction) {
    const double base = parseReal(text().toStdString()).value_or(value_);
    setValue(base + direction * step_);
    emit committed(value_);
}

void RealEdit::keyPressEvent(QKeyEvent* event) {
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
