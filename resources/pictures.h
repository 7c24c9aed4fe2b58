#pragma once
// The program's own pictures, built in with the Qt resource system.

#include <QIcon>
#include <QPixmap>

namespace resources {

constexpr int kIconApplication = 135;  // a small receipt printer
constexpr int kIconLampOff = 137;      // unlit lamp
constexpr int kIconLampOn = 138;       // lit red lamp
constexpr int kBitmapPinPressed = 142; // 16 x 15, seen from above
constexpr int kBitmapPinSide = 143;    // 16 x 15, seen from the side

QIcon LoadIcon(int id);
QPixmap LoadBitmap(int id);

}  // namespace resources
