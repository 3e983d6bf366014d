// homing-icon SIZE OUT.png: writes the program's icon at SIZE pixels, scaled
// from the built-in sprite sheet (a build step; see desktop/).

#include <QImage>

#include <cstdio>
#include <cstdlib>

#include "Icon.h"

int main(int argc, char** argv)
{
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 1 || size > 1024) {
        std::fprintf(stderr, "usage: homing-icon SIZE OUT.png (SIZE 1 to 1024)\n");
        return 2;
    }
    const std::vector<std::uint32_t> pixels = SpriteIcon(LoadSpriteSheet(), IconSprite, size);
    const QImage image(reinterpret_cast<const uchar*>(pixels.data()), size, size, size * 4, QImage::Format_ARGB32);
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "homing-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
