// A toggle button drawn as an LED with a caption, whose lit state changes only after its click
// handlers have run.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace kvn::widgets {

// A click (mouse press and release on the button, Space while it has focus, or click()) first
// emits clicked(wasLit) with the lit state from before the click, so handlers that call isLit()
// see that state too; when the handlers have returned, the lit state is inverted from whatever it
// is then, and litToggled(lit) is emitted. A handler that darkens the button therefore makes the
// click light it (this is how LedGroup keeps the clicked member lit). The second press of a double
// click counts as a click of its own. setLit() changes the state without emitting anything. A
// disabled button ignores clicks.
class LedButton : public QWidget {
    Q_OBJECT

public:
    explicit LedButton(const QString& caption = {}, QWidget* parent = nullptr);

    bool isLit() const { return lit_; }
    // Lights or darkens the LED without emitting a signal.
    void setLit(bool lit);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // Colour of the lit LED (green by default); the dark LED is a dim shade of it.
    QColor litColor() const { return litColor_; }
    void setLitColor(const QColor& color);
    // The caption's colour; an invalid colour uses the palette's text colour.
    void setCaptionColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // A click by code, handled exactly like a click by the user.
    void click();

signals:
    void clicked(bool wasLit);
    void litToggled(bool lit);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int ledDiameter() const;

    QString caption_;
    QColor litColor_;
    QColor captionColor_;
    bool lit_ = false;
    bool pressed_ = false;
};

}  // namespace kvn::widgets
