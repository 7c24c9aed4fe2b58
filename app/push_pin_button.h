#pragma once
// The push-pin of the console's status line (button 1059): an owner-drawn button showing a
// pin pressed in (seen from above) while the window is kept above all others, and a pin
// seen from the side otherwise. A click goes to the window as an ordinary button click; the
// window toggles m_bPinned and the keep-on-top state together.

#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

class CPushPinButton : public QPushButton {
    Q_OBJECT

public:
    explicit CPushPinButton(QWidget* parent = nullptr);

    // 1 while the pin is pressed in. After a change, update() redraws the button.
    int m_bPinned = 0;
    QPixmap m_bmpPinned;    // picture 142
    QPixmap m_bmpUnpinned;  // picture 143

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The pictures are drawn in the classic 3-D greys; these become the colours of the current
// style so the pin sits on the button face like any other control: 192 grey the button face,
// 128 grey the shadow, 223 grey the light edge. Every other colour stays.
QImage MapThreeDColors(const QImage& image, const QPalette& palette);
