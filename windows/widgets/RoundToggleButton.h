#pragma once
// Round two-state button whose caption is the state: "ON" (green) or "OFF" (red).
// A click flips it. The state is read from the caption, so a caption set from outside counts too.
#include <QColor>
#include <QPushButton>

class RoundToggleButton : public QPushButton {
    Q_OBJECT
public:
    explicit RoundToggleButton(QWidget *parent = nullptr);

    bool isOn() const { return text() == QLatin1String("ON"); }
    // Caption "ON" and green, or "OFF" and red.
    void setOn(bool on);
    void toggle() { setOn(!isOn()); }

    // Colour shown while the mouse is not over the button.
    QColor restingColor() const { return resting_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void switched(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QColor resting_;
    bool hovered_ = false;
};
