#include "app/push_pin_button.h"

#include <QPainter>

#include "resources/pictures.h"

namespace {

QPixmap LoadPinPicture(int id, const QPalette& palette)
{
    return QPixmap::fromImage(MapThreeDColors(resources::LoadBitmap(id).toImage(), palette));
}

}  // namespace

QImage MapThreeDColors(const QImage& image, const QPalette& palette)
{
    const QRgb face = palette.color(QPalette::Button).rgb();
    const QRgb shadow = palette.color(QPalette::Dark).rgb();
    const QRgb light = palette.color(QPalette::Midlight).rgb();

    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                continue;
            switch (line[x] & 0xFFFFFFu) {
            case 0xC0C0C0u:
                line[x] = face;
                break;
            case 0x808080u:
                line[x] = shadow;
                break;
            case 0xDFDFDFu:
                line[x] = light;
                break;
            default:
                break;
            }
        }
    }
    return out;
}

CPushPinButton::CPushPinButton(QWidget* parent)
    : QPushButton(parent),
      m_bmpPinned(LoadPinPicture(resources::kBitmapPinPressed, palette())),
      m_bmpUnpinned(LoadPinPicture(resources::kBitmapPinSide, palette()))
{
    // Exactly the picture's size whatever the layout gives it; the fixed size also holds
    // against the geometry the layout sets afterwards, which keeps its top-left corner.
    setFixedSize(m_bmpPinned.size());
    setFlat(true);
}

void CPushPinButton::paintEvent(QPaintEvent*)
{
    // The picture is copied unchanged from the control's top-left corner, clipped to it.
    QPainter painter(this);
    const QPixmap& picture = m_bPinned ? m_bmpPinned : m_bmpUnpinned;
    painter.drawPixmap(QPoint(0, 0), picture, QRect(QPoint(0, 0), size()));
}
