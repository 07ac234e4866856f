// A set of LED buttons of which exactly one is lit after each click, like radio buttons.
#pragma once

#include <QList>
#include <QObject>

namespace kvn::widgets {

class LedButton;

// Clicking a member darkens every member while its clicked(wasLit) handlers run, so the click
// leaves that member lit and the others dark, also when it was lit already. The member's own
// handlers still receive its state from before the click in wasLit. After the click, selected()
// is emitted with the member's index. select() lights one member by code without emitting.
// The group does not own its buttons; a destroyed button leaves the group.
class LedGroup : public QObject {
    Q_OBJECT

public:
    explicit LedGroup(QObject* parent = nullptr);

    // Adds a button (once); returns its index in the group.
    int addButton(LedButton* button);
    int count() const { return static_cast<int>(buttons_.size()); }
    LedButton* button(int index) const;
    int indexOf(const LedButton* button) const;

    // Lights member `index` and darkens the others, without signals. An index outside the group
    // darkens all.
    void select(int index);
    // Index of the lit member, or -1 when none is lit (or more than one, after setLit by code).
    int selectedIndex() const;

signals:
    void selected(int index);

private:
    QList<LedButton*> buttons_;
};

}  // namespace kvn::widgets
