#include "ui/main/Artwork.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <numbers>

namespace kvn::ui::art {

namespace {

const QColor kInk(0x33, 0x3d, 0x4a);
const QColor kAccent(0x1f, 0x7a, 0xc4);
const QColor kSignal(0x1f, 0x9d, 0x55);
const QColor kFaint(0xb4, 0xbc, 0xc6);

using Painter = std::function<void(QPainter&, QSizeF)>;

QPixmap render(const Painter& draw, QSize size, qreal dpr) {
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter, QSizeF(size));
    return pixmap;
}

QIcon icon(const Painter& draw, QSize size) {
    QIcon out;
    out.addPixmap(render(draw, size, 1.0));
    out.addPixmap(render(draw, size, 2.0));
    return out;
}

QPen pen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawRoute(QPainter& p, QSizeF s, int route) {
    const bool fromA = route != 2;
    const bool fromB = route == 1 || route == 2;
    const QPointF a(s.width() * 0.30, s.height() * 0.25);
    const QPointF b(s.width() * 0.30, s.height() * 0.75);
    const QPointF out(s.width() * 0.86, s.height() * 0.5);
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(s.height() * 0.32));
    font.setBold(true);
    p.setFont(font);
    const QRectF labelA(0, 0, s.width() * 0.22, s.height() * 0.5);
    const QRectF labelB(0, s.height() * 0.5, s.width() * 0.22, s.height() * 0.5);
    p.setPen(fromA ? kInk : kFaint);
    p.drawText(labelA, Qt::AlignCenter, QStringLiteral("A"));
    p.setPen(fromB ? kInk : kFaint);
    p.drawText(labelB, Qt::AlignCenter, QStringLiteral("B"));

    const qreal width = s.height() * 0.07;
    QPen idle = pen(kFaint, width * 0.7);
    idle.setStyle(Qt::DotLine);
    for (const auto& [from, live] : {std::pair{a, fromA}, std::pair{b, fromB}}) {
        p.setPen(live ? pen(kSignal, width) : idle);
        QPainterPath wire(from);
        wire.cubicTo(QPointF((from.x() + out.x()) / 2, from.y()),
                     QPointF((from.x() + out.x()) / 2, out.y()), out);
        p.drawPath(wire);
    }
    p.setPen(Qt::NoPen);
    const qreal dot = s.height() * 0.09;
    for (const auto& [at, live] : {std::pair{a, fromA}, std::pair{b, fromB}}) {
        p.setBrush(live ? kSignal : kFaint);
        p.drawEllipse(at, dot, dot);
    }
    p.setBrush(kSignal);
    p.drawEllipse(out, dot * 1.3, dot * 1.3);
}

void drawSwitch(QPainter& p, QSizeF s, bool on) {
    const QRectF track(1, s.height() * 0.18, s.width() - 2, s.height() * 0.64);
    const qreal radius = track.height() / 2;
    p.setPen(pen(on ? kSignal.darker(130) : QColor(0x8a, 0x93, 0x9e), 1));
    p.setBrush(on ? kSignal : QColor(0xd5, 0xd9, 0xde));
    p.drawRoundedRect(track, radius, radius);
    const qreal knob = track.height() - 4;
    const QRectF knobRect(on ? track.right() - knob - 2 : track.left() + 2, track.top() + 2, knob,
                          knob);
    QLinearGradient shade(knobRect.topLeft(), knobRect.bottomLeft());
    shade.setColorAt(0, Qt::white);
    shade.setColorAt(1, QColor(0xe4, 0xe7, 0xeb));
    p.setBrush(shade);
    p.setPen(pen(QColor(0x7c, 0x85, 0x90), 0.8));
    p.drawEllipse(knobRect);
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(track.height() * 0.5));
    font.setBold(true);
    p.setFont(font);
    p.setPen(on ? Qt::white : QColor(0x55, 0x5e, 0x69));
    const QRectF text =
        on ? QRectF(track.left() + 4, track.top(), track.width() - knob - 8, track.height())
           : QRectF(knobRect.right() + 2, track.top(), track.right() - knobRect.right() - 6,
                    track.height());
    p.drawText(text, Qt::AlignCenter, on ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

void drawWave(QPainter& p, const QRectF& area, const QColor& color, qreal width) {
    QPainterPath wave;
    constexpr int kSteps = 64;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        // A decaying sweep: the picture of a response being shaped.
        const double y = std::sin(t * 3.0 * 2.0 * std::numbers::pi * (0.6 + t)) * (1.0 - 0.55 * t);
        const QPointF point(area.left() + t * area.width(),
                            area.center().y() - y * area.height() / 2);
        if (i == 0) {
            wave.moveTo(point);
        } else {
            wave.lineTo(point);
        }
    }
    p.setPen(pen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

// The largest pixel size up to `maxPixels` at which `text` fits `width`.
void fitText(QFont& font, const QString& text, qreal width, qreal maxPixels) {
    for (int pixels = static_cast<int>(maxPixels); pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width) {
            return;
        }
    }
    font.setPixelSize(6);
}

void drawLogo(QPainter& p, QSizeF s) {
    const QRectF frame(1, 1, s.width() - 2, s.height() - 2);
    QLinearGradient back(frame.topLeft(), frame.bottomLeft());
    back.setColorAt(0, QColor(0x27, 0x33, 0x44));
    back.setColorAt(1, QColor(0x14, 0x1b, 0x25));
    p.setPen(pen(QColor(0x0c, 0x11, 0x17), 1));
    p.setBrush(back);
    p.drawRoundedRect(frame, 6, 6);
    const QRectF waveArea(frame.left() + frame.width() * 0.06, frame.top() + frame.height() * 0.2,
                          frame.height() * 0.9, frame.height() * 0.6);
    drawWave(p, waveArea, QColor(0x4c, 0xc3, 0x8a), std::max(1.5, s.height() / 22));
    const QRectF text(waveArea.right() + frame.width() * 0.05, frame.top(),
                      frame.right() - waveArea.right() - frame.width() * 0.08,
                      frame.height() * 0.68);
    QFont font = p.font();
    font.setBold(true);
    font.setLetterSpacing(QFont::PercentageSpacing, 108);
    fitText(font, QStringLiteral("KVN 350"), text.width(), frame.height() * 0.42);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("KVN 350"));
    font.setBold(false);
    font.setLetterSpacing(QFont::PercentageSpacing, 112);
    const QString subtitle = QStringLiteral("LOUDSPEAKER MANAGEMENT");
    fitText(font, subtitle, text.width(), frame.height() * 0.15);
    p.setFont(font);
    p.setPen(QColor(0xa9, 0xb6, 0xc6));
    p.drawText(QRectF(text.left(), text.bottom(), text.width() + 4, frame.height() * 0.26),
               Qt::AlignLeft | Qt::AlignTop, subtitle);
}

void drawPage(QPainter& p, const QRectF& r) {
    const qreal fold = r.width() * 0.3;
    QPainterPath page;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawPadlock(QPainter& p, QSizeF s, bool open) {
    const QRectF body(s.width() * 0.2, s.height() * 0.45, s.width() * 0.6, s.height() * 0.45);
    QPainterPath shackle;
    const qreal left = s.width() * 0.32;
    const qreal right = s.width() * 0.68;
    const qreal top = s.height() * 0.12;
    shackle.moveTo(left, body.top() - (open ? s.height() * 0.12 : 0));
    shackle.lineTo(left, top + (right - left) / 2);
    shackle.arcTo(QRectF(left, top, right - left, right - left), 180, -180);
    shackle.lineTo(right, body.top());
    p.setBrush(Qt::NoBrush);
    p.drawPath(shackle);
    p.setBrush(open ? QColor(0xf0, 0xc4, 0x4c) : kAccent);
    p.drawRoundedRect(body, 2, 2);
}

void drawGlyph(QPainter& p, QSizeF s, Glyph which) {
    const qreal w = s.width();
    const qreal h = s.height();
    p.setPen(pen(kInk, std::max(1.2, w / 14)));
    p.setBrush(Qt::NoBrush);
    switch (which) {
        case Glyph::New:
            drawPage(p, QRectF(w * 0.2, h * 0.1, w * 0.55, h * 0.8));
            p.setPen(pen(kSignal, w / 9));
            p.drawLine(QPointF(w * 0.72, h * 0.55), QPointF(w * 0.72, h * 0.9));
            p.drawLine(QPointF(w * 0.55, h * 0.72), QPointF(w * 0.9, h * 0.72));
            break;
        case Glyph::Open: {
            QPainterPath folder;
            folder.moveTo(w * 0.1, h * 0.8);
            folder.lineTo(w * 0.1, h * 0.22);
            folder.lineTo(w * 0.38, h * 0.22);
            folder.lineTo(w * 0.46, h * 0.32);
            folder.lineTo(w * 0.85, h * 0.32);
            folder.lineTo(w * 0.85, h * 0.45);
            p.drawPath(folder);
            QPainterPath flap;
            flap.moveTo(w * 0.1, h * 0.8);
            flap.lineTo(w * 0.25, h * 0.45);
            flap.lineTo(w * 0.95, h * 0.45);
            flap.lineTo(w * 0.8, h * 0.8);
            flap.closeSubpath();
            p.setBrush(QColor(0xf0, 0xc4, 0x4c));
            p.drawPath(flap);
            break;
        }
        case Glyph::Save:
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(w * 0.15, h * 0.15, w * 0.7, h * 0.7), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(w * 0.3, h * 0.15, w * 0.4, h * 0.25));
            p.drawRect(QRectF(w * 0.27, h * 0.55, w * 0.46, h * 0.3));
            break;
        case Glyph::Connect:
            p.drawLine(QPointF(w * 0.38, h * 0.1), QPointF(w * 0.38, h * 0.3));
            p.drawLine(QPointF(w * 0.62, h * 0.1), QPointF(w * 0.62, h * 0.3));
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(w * 0.25, h * 0.3, w * 0.5, h * 0.3), 3, 3);
            p.drawLine(QPointF(w * 0.5, h * 0.6), QPointF(w * 0.5, h * 0.9));
            break;
        case Glyph::Read:
        case Glyph::Write: {
            const bool down = which == Glyph::Read;
            p.drawLine(QPointF(w * 0.15, h * 0.7), QPointF(w * 0.15, h * 0.88));
            p.drawLine(QPointF(w * 0.15, h * 0.88), QPointF(w * 0.85, h * 0.88));
            p.drawLine(QPointF(w * 0.85, h * 0.88), QPointF(w * 0.85, h * 0.7));
            p.setPen(pen(down ? kSignal : kAccent, w / 9));
            const qreal tip = down ? h * 0.72 : h * 0.1;
            const qreal tail = down ? h * 0.1 : h * 0.72;
            const qreal head = down ? -h * 0.2 : h * 0.2;
            p.drawLine(QPointF(w * 0.5, tail), QPointF(w * 0.5, tip));
            p.drawLine(QPointF(w * 0.5, tip), QPointF(w * 0.32, tip + head));
            p.drawLine(QPointF(w * 0.5, tip), QPointF(w * 0.68, tip + head));
            break;
        }
        case Glyph::Change: {
            p.setPen(pen(kAccent, w / 10));
            const QRectF ring(w * 0.18, h * 0.18, w * 0.64, h * 0.64);
            p.drawArc(ring, 30 * 16, 150 * 16);
            p.drawArc(ring, 210 * 16, 150 * 16);
            p.drawLine(QPointF(w * 0.1, h * 0.38), QPointF(w * 0.2, h * 0.52));
            p.drawLine(QPointF(w * 0.2, h * 0.52), QPointF(w * 0.32, h * 0.4));
            p.drawLine(QPointF(w * 0.9, h * 0.62), QPointF(w * 0.8, h * 0.48));
            p.drawLine(QPointF(w * 0.8, h * 0.48), QPointF(w * 0.68, h * 0.6));
            break;
        }
        case Glyph::Lock:
        case Glyph::Unlock:
            drawPadlock(p, s, which == Glyph::Unlock);
            break;
        case Glyph::Password:
            p.setBrush(QColor(0xf0, 0xc4, 0x4c));
            p.drawEllipse(QRectF(w * 0.1, h * 0.3, w * 0.38, h * 0.38));
            p.drawLine(QPointF(w * 0.48, h * 0.49), QPointF(w * 0.9, h * 0.49));
            p.drawLine(QPointF(w * 0.78, h * 0.49), QPointF(w * 0.78, h * 0.68));
            p.drawLine(QPointF(w * 0.66, h * 0.49), QPointF(w * 0.66, h * 0.62));
            break;
        case Glyph::Firmware:
            for (int i = 0; i < 3; ++i) {
                const qreal at = w * (0.35 + 0.15 * i);
                p.drawLine(QPointF(at, h * 0.08), QPointF(at, h * 0.92));
                p.drawLine(QPointF(w * 0.08, at), QPointF(w * 0.92, at));
            }
            p.setBrush(QColor(0x3f, 0x4a, 0x58));
            p.drawRoundedRect(QRectF(w * 0.22, h * 0.22, w * 0.56, h * 0.56), 2, 2);
            p.setPen(pen(kSignal, 1));
            p.setBrush(kSignal);
            p.drawEllipse(QPointF(w * 0.34, h * 0.34), w * 0.04, w * 0.04);
            break;
        case Glyph::Copy:
            drawPage(p, QRectF(w * 0.12, h * 0.08, w * 0.5, h * 0.62));
            drawPage(p, QRectF(w * 0.38, h * 0.3, w * 0.5, h * 0.62));
            break;
        case Glyph::Info: {
            p.setBrush(kAccent);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(w * 0.1, h * 0.1, w * 0.8, h * 0.8));
            p.setPen(pen(Qt::white, w / 9));
            p.drawLine(QPointF(w * 0.5, h * 0.45), QPointF(w * 0.5, h * 0.72));
            p.drawPoint(QPointF(w * 0.5, h * 0.3));
            break;
        }
        case Glyph::Response:
            p.drawLine(QPointF(w * 0.12, h * 0.1), QPointF(w * 0.12, h * 0.88));
            p.drawLine(QPointF(w * 0.12, h * 0.88), QPointF(w * 0.92, h * 0.88));
            drawWave(p, QRectF(w * 0.18, h * 0.2, w * 0.72, h * 0.55), kSignal, w / 12);
            break;
        case Glyph::Settings: {
            p.setBrush(QColor(0x8a, 0x93, 0x9e));
            QPainterPath cog;
            constexpr int kTeeth = 8;
            for (int i = 0; i < kTeeth * 2; ++i) {
                const double angle = i * std::numbers::pi / kTeeth;
                const double radius = (i % 2 == 0) ? 0.42 : 0.32;
                const QPointF point(w * (0.5 + radius * std::cos(angle)),
                                    h * (0.5 + radius * std::sin(angle)));
                if (i == 0) {
                    cog.moveTo(point);
                } else {
                    cog.lineTo(point);
                }
            }
            cog.closeSubpath();
            cog.addEllipse(QPointF(w * 0.5, h * 0.5), w * 0.12, h * 0.12);
            cog.setFillRule(Qt::OddEvenFill);
            p.drawPath(cog);
            break;
        }
    }
}

void drawKey(QPainter& p, QSizeF s, PanelKey key, bool pressed) {
    const qreal inset = pressed ? 3 : 1;
    const QRectF body(inset, inset, s.width() - 2 * inset, s.height() - 2 * inset);
    QLinearGradient face(body.topLeft(), body.bottomLeft());
    face.setColorAt(0, pressed ? QColor(0x3b, 0x44, 0x50) : QColor(0x6a, 0x75, 0x84));
    face.setColorAt(1, pressed ? QColor(0x2b, 0x32, 0x3c) : QColor(0x3b, 0x44, 0x50));
    p.setPen(pen(QColor(0x15, 0x1a, 0x20), 1.2));
    p.setBrush(face);
    p.drawRoundedRect(body, s.width() * 0.16, s.height() * 0.16);
    p.setPen(Qt::NoPen);
    p.setBrush(pressed ? QColor(0x9f, 0xe0, 0xbe) : Qt::white);
    const QPointF c = body.center();
    const qreal a = body.width() * 0.22;
    switch (key) {
        case PanelKey::Up:
            p.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - a), QPointF(c.x() + a, c.y() + a * 0.6),
                                     QPointF(c.x() - a, c.y() + a * 0.6)}));
            break;
        case PanelKey::Down:
            p.drawPolygon(QPolygonF({QPointF(c.x(), c.y() + a), QPointF(c.x() + a, c.y() - a * 0.6),
                                     QPointF(c.x() - a, c.y() - a * 0.6)}));
            break;
        case PanelKey::Enter: {
            QFont font = p.font();
            font.setPixelSize(static_cast<int>(body.height() * 0.24));
            font.setBold(true);
            p.setFont(font);
            p.setPen(pressed ? QColor(0x9f, 0xe0, 0xbe) : Qt::white);
            p.drawText(body, Qt::AlignCenter, QStringLiteral("ENTER"));
            break;
        }
    }
}

}  // namespace

QIcon routePicture(int route) {
    return icon([route](QPainter& p, QSizeF s) { drawRoute(p, s, route); }, QSize(64, 40));
}

QIcon realTimePicture(bool on) {
    return icon([on](QPainter& p, QSizeF s) { drawSwitch(p, s, on); }, QSize(56, 28));
}

QPixmap logo(QSize size, qreal devicePixelRatio) {
    return render(drawLogo, size, devicePixelRatio);
}

QIcon applicationIcon() {
    const Painter draw = [](QPainter& p, QSizeF s) {
        const QRectF frame(1, 1, s.width() - 2, s.height() - 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1d, 0x26, 0x33));
        p.drawRoundedRect(frame, s.width() * 0.18, s.height() * 0.18);
        drawWave(p,
                 frame.adjusted(s.width() * 0.14, s.height() * 0.25, -s.width() * 0.14,
                                -s.height() * 0.25),
                 QColor(0x4c, 0xc3, 0x8a), std::max(1.5, s.width() / 16));
    };
    QIcon out;
    for (int side : {16, 32, 64, 128}) {
        out.addPixmap(render(draw, QSize(side, side), 1.0));
    }
    return out;
}

QIcon glyph(Glyph which) {
    return icon([which](QPainter& p, QSizeF s) { drawGlyph(p, s, which); }, QSize(24, 24));
}

QPixmap panelKey(PanelKey key, bool pressed, QSize size, qreal devicePixelRatio) {
    return render([key, pressed](QPainter& p, QSizeF s) { drawKey(p, s, key, pressed); }, size,
                  devicePixelRatio);
}

}  // namespace kvn::ui::art
