// The "Value at Mouse Position" readouts of the graphs, whose text changes on every mouse move.
#pragma once

class QLabel;

namespace kvn::widgets {

// Gives `label` a fixed size: one line of `characters` average characters. A label whose size
// may change asks its window to lay out again whenever its text changes, which on every move of
// a drag costs more than the text itself.
void fixReadoutSize(QLabel* label, int characters);

}  // namespace kvn::widgets
