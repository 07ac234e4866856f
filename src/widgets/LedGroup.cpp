// Radio-like group of LED buttons.
#include "widgets/LedGroup.h"

#include "widgets/LedButton.h"

namespace kvn::widgets {

LedGroup::LedGroup(QObject* parent) : QObject(parent) {}

int LedGroup::addButton(LedButton* button) {
    if (button == nullptr) {
        return -1;
    }
    if (const int existing = indexOf(button); existing >= 0) {
        return existing;
    }
    buttons_.append(button);
    // Dark while the click's handlers run: the button's own toggle after them lights it.
    connect(button, &LedButton::clicked, this, [this](bool) {
        for (LedButton* b : std::as_const(buttons_)) {
            b->setLit(false);
        }
    });
    connect(button, &LedButton::litToggled, this,
            [this, button](bool) { emit selected(indexOf(button)); });
    connect(button, &QObject::destroyed, this, [this, button] { buttons_.removeAll(button); });
    return count() - 1;
}

LedButton* LedGroup::button(int index) const {
    return index >= 0 && index < count() ? buttons_[index] : nullptr;
}

int LedGroup::indexOf(const LedButton* button) const {
    for (int i = 0; i < count(); ++i) {
        if (buttons_[i] == button) {
            return i;
        }
    }
    return -1;
}

void LedGroup::select(int index) {
    for (int i = 0; i < count(); ++i) {
        buttons_[i]->setLit(i == index);
    }
}

int LedGroup::selectedIndex() const {
    int found = -1;
    for (int i = 0; i < count(); ++i) {
        if (buttons_[i]->isLit()) {
            if (found >= 0) {
                return -1;
            }
            found = i;
        }
    }
    return found;
}

}  // namespace kvn::widgets
