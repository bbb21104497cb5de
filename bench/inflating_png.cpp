// Writes a hostile picture for hostile_pictures.sh: a 1 x 1 PNG whose image
// data goes on with GIB GiB of zeros after its only row (about 1 MB a GiB).
//   inflating_png FILE GIB
#include "PngBytes.h"

#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const long long gib = argc == 3 ? std::atoll(argv[2]) : 0;
    if (gib <= 0) {
        std::fprintf(stderr, "usage: inflating_png FILE GIB\n");
        return 2;
    }
    QImage pixel(1, 1, QImage::Format_RGBA8888);
    pixel.fill(Qt::white);
    const QByteArray png = png_bytes::RgbaPng(pixel, false, gib << 10);
    QFile out(QString::fromLocal8Bit(argv[1]));
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(png) == png.size() ? 0 : 1;
}
