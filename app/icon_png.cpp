// Build-time helper: writes the application icon as a PNG for the desktop's icon theme.
// Usage: corvane_icon_png <picture> <png>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <picture> <png>\n", argv[0]);
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot convert %s to %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    return 0;
}
