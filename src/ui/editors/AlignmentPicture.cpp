// Picture of the speakers' relative positions.
#include "ui/editors/AlignmentPicture.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace kvn::ui {

namespace {

constexpr int kCaptionLeft = 6;
constexpr int kCaptionRight = 48;  // a speaker left of the start stops short of its caption
// Where every line starts, with room between it and the captions for lines that run left.
constexpr int kStartX = 108;
constexpr int kRightUnits = 90;
constexpr int kRowHeight = 40;
constexpr int kTop = 14;
constexpr QSize kSpeaker{20, 28};

struct Row {
    const char* line;
    const char* image;
    const char* caption;
    QColor colour;
};

const std::array<Row, 3>& rows() {
    static const std::array<Row, 3> kRows{{
        {"OUT1Line", "OUT1Image", "OUT 1", QColor(0x26, 0xc6, 0xda)},
        {"OUT2Line", "OUT2Image", "OUT 2", QColor(0xef, 0x53, 0x50)},
        {"SUB1Line", "SUB1Image", "SUB", QColor(0xfd, 0xd8, 0x35)},
    }};
    return kRows;
}

// A loudspeaker cabinet seen from the front: a tweeter and a woofer, or one large cone for SUB.
QPixmap speaker(const QColor& colour, bool sub, qreal ratio) {
    QPixmap pixmap(kSpeaker * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.5));
    p.setBrush(QColor(0x30, 0x33, 0x38));
    p.drawRoundedRect(QRectF(1, 1, kSpeaker.width() - 2, kSpeaker.height() - 2), 3, 3);
    p.setBrush(QColor(0x18, 0x1a, 0x1d));
    if (sub) {
        p.drawEllipse(QPointF(10, 14), 7, 7);
    } else {
        p.drawEllipse(QPointF(10, 7.5), 3, 3);
        p.drawEllipse(QPointF(10, 18.5), 6, 6);
    }
    p.setBrush(colour.darker(160));
    p.drawEllipse(QPointF(10, sub ? 14 : 18.5), 2, 2);
    return pixmap;
}

}  // namespace

AlignmentPicture::AlignmentPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AlignmentPicture"));
    setToolTip(QStringLiteral("Where each speaker's sound stands after its delay"));
    for (std::size_t i = 0; i < rows().size(); ++i) {
        const Row& row = rows()[i];
        auto* line = new QFrame(this);
        line->setObjectName(QString::fromLatin1(row.line));
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, row.colour);
        line->setPalette(palette);
        lineWidgets_[i] = line;
        auto* image = new QLabel(this);
        image->setObjectName(QString::fromLatin1(row.image));
        image->setPixmap(speaker(row.colour, i == 2, devicePixelRatioF()));
        image->setFixedSize(kSpeaker);
        images_[i] = image;
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    place();
}

QSize AlignmentPicture::sizeHint() const {
    return {kStartX + kRightUnits * kZoom + kSpeaker.width() + 6,
            kTop * 2 + kRowHeight * static_cast<int>(rows().size())};
}

void AlignmentPicture::setLines(const std::array<int, 3>& lengths) {
    lengths_ = lengths;
    place();
}

void AlignmentPicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void AlignmentPicture::place() {
    const int right = std::max(kStartX, width() - kSpeaker.width() - 4);
    for (std::size_t i = 0; i < rows().size(); ++i) {
        // Lines are drawn only as far as the picture reaches; the speaker stays in sight and
        // clear of its row's caption.
        const long long end = kStartX + static_cast<long long>(lengths_[i]) * kZoom;
        const int x = static_cast<int>(std::clamp<long long>(end, kCaptionRight + 2, right));
        const int y = kTop + static_cast<int>(i) * kRowHeight + kRowHeight / 2;
        lineWidgets_[i]->setGeometry(std::min(x, kStartX), y - 1, std::abs(x - kStartX), 3);
        images_[i]->move(x, y - kSpeaker.height() / 2);
    }
}

void AlignmentPicture::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0x1c, 0x23, 0x33));
    // A faint mark every 10 units (39 samples) from the start.
    p.setPen(QPen(QColor(0x2e, 0x3a, 0x52), 1));
    for (int x = kStartX % (10 * kZoom); x < width(); x += 10 * kZoom) {
        p.drawLine(x, kTop / 2, x, height() - kTop / 2);
    }
    p.setPen(QPen(QColor(0x90, 0xa4, 0xae), 1, Qt::DashLine));
    p.drawLine(kStartX, kTop / 2, kStartX, height() - kTop / 2);
    QFont font = p.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 0.85);
    p.setFont(font);
    for (std::size_t i = 0; i < rows().size(); ++i) {
        p.setPen(rows()[i].colour);
        p.drawText(captionRect(static_cast<int>(i)), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(rows()[i].caption));
    }
}

QRect AlignmentPicture::captionRect(int row) const {
    return {kCaptionLeft, kTop + row * kRowHeight, kCaptionRight - kCaptionLeft, kRowHeight};
}

}  // namespace kvn::ui
