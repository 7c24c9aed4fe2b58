#include "resources/pictures.h"

#include <QString>

// The pictures are compiled into this static library; its resource registration has to be
// referenced, or the linker leaves it out. Q_INIT_RESOURCE may not stand in a namespace.
static void EnsurePicturesRegistered()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)registered;
}

namespace resources {
namespace {

QString PicturePath(int id)
{
    switch (id) {
    case kIconApplication:
        return ":/corvane/pictures/printer.xpm";
    case kIconLampOff:
        return ":/corvane/pictures/lamp_off.xpm";
    case kIconLampOn:
        return ":/corvane/pictures/lamp_on.xpm";
    case kBitmapPinPressed:
        return ":/corvane/pictures/pin_pressed.xpm";
    case kBitmapPinSide:
        return ":/corvane/pictures/pin_side.xpm";
    default:
        return {};
    }
}

}  // namespace

QIcon LoadIcon(int id)
{
    if (id != kIconApplication && id != kIconLampOff && id != kIconLampOn)
        return {};
    EnsurePicturesRegistered();
    return QIcon(PicturePath(id));
}

QPixmap LoadBitmap(int id)
{
    if (id != kBitmapPinPressed && id != kBitmapPinSide)
        return {};
    EnsurePicturesRegistered();
    return QPixmap(PicturePath(id));
}

}  // namespace resources
