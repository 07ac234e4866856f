// Committing integer spin box.
#include "widgets/IntSpinEdit.h"

#include "widgets/HistoryKeys.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace kvn::widgets {

IntSpinEdit::IntSpinEdit(QWidget* parent) : QWidget(parent), spin_(new QSpinBox(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(spin_);
    setFocusProxy(spin_);
    spin_->installEventFilter(this);
    // A typed number counts once it is complete, not at every keystroke on the way.
    spin_->setKeyboardTracking(false);
    connect(spin_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!settingByCode_) {
            emit valueChanged(value);
        }
    });
}

void IntSpinEdit::setRange(int minimum, int maximum) {
    spin_->setRange(minimum, std::max(minimum, maximum));
}

int IntSpinEdit::minimum() const {
    return spin_->minimum();
}

int IntSpinEdit::maximum() const {
    return spin_->maximum();
}

void IntSpinEdit::setSingleStep(int step) {
    spin_->setSingleStep(step);
}

void IntSpinEdit::setValue(int value) {
    // The box repaints on every value it is given, the same one too; while it has the focus the
    // value also puts back the text being typed.
    if (std::clamp(value, spin_->minimum(), spin_->maximum()) != spin_->value() ||
        spin_->hasFocus()) {
        settingByCode_ = true;
        spin_->setValue(value);
        settingByCode_ = false;
    }
    emit valueChanged(spin_->value());
}

bool IntSpinEdit::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (watched != spin_ || !key || !isHistoryKey(*static_cast<QKeyEvent*>(event))) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        spin_->interpretText();
    }
    // Neither the text's own undo nor taken here: the window's shortcut gets the key.
    event->ignore();
    return true;
}

int IntSpinEdit::value() const {
    return spin_->value();
}

void IntSpinEdit::setTypeable(bool typeable) {
    // The spin box keeps its text field to itself; stepping still works with it read-only.
    if (auto* text = spin_->findChild<QLineEdit*>()) {
        text->setReadOnly(!typeable);
    }
}

void IntSpinEdit::setSuffix(const QString& suffix) {
    spin_->setSuffix(suffix);
}

}  // namespace kvn::widgets
