// "Export filters..." and "Import filters..." of the equaliser window: an output's equaliser
// written to and read from the filter text of measurement and system-equaliser programs, with
// the dialogs and messages of the program. The window calls these with the output it edits.
#pragma once

namespace kvn::ui {

struct EditorContext;

// Asks for a file with the save dialog and writes output `output`'s (1..3) equaliser to it. A
// band without a counterpart in the text is told in an error box before any dialog, and nothing
// is written; so is a file that cannot be written (an existing file is then left as it was). True
// when the file was written.
bool exportFilters(EditorContext& context, int output);

// Asks for a filter text with the open dialog and imports it into output `output`'s bands as one
// undo step, "Import filters into Output 1", through the change path with every band's scope (and
// the output's level for a preamp): the processor gets the bands in real time, and every view is
// told, the equaliser window included. A file that cannot be read, or a filter the output cannot
// hold, is told in an error box naming the line, and nothing changes. On success an information
// box says what was imported. True when the bands were imported.
bool importFilters(EditorContext& context, int output);

}  // namespace kvn::ui
