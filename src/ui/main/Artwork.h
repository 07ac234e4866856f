// The program's pictures, drawn with QPainter so that they are sharp at every screen scale: the
// three route pictures (A, A+B, B), the real-time switch (off and on), the logo, the front-panel
// keys of the password window and the small glyphs of the main window's buttons.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace kvn::ui::art {

// Route picture `route` (0 input A, 1 A+B, 2 input B; anything else draws as A).
QIcon routePicture(int route);
// The real-time switch as it shows the mode.
QIcon realTimePicture(bool on);
// The logo of the main window, `size` in device-independent pixels.
QPixmap logo(QSize size, qreal devicePixelRatio = 1.0);
QIcon applicationIcon();

// Glyphs of the main window's buttons.
enum class Glyph {
    New,
    Open,
    Save,
    Connect,
    Read,
    Write,
    Change,
    Lock,
    Unlock,
    Password,
    Firmware,
    Copy,
    Info,
    Response,
    Settings,
};
QIcon glyph(Glyph which);

// A front-panel key of the processor (DOWN, UP or ENTER), drawn raised or pressed.
enum class PanelKey { Down, Up, Enter };
QPixmap panelKey(PanelKey key, bool pressed, QSize size, qreal devicePixelRatio = 1.0);

}  // namespace kvn::ui::art
