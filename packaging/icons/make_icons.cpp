// Cuts a square out of a picture genart drew and writes it scaled down to each icon size.
//   genart_icon_maker PICTURE.png LEFT TOP SIDE OUT_DIR SIZE...
// writes OUT_DIR/genart-SIZE.png for every SIZE. Not part of the program: see make-icons.sh.

#include <cstdio>
#include <string>

#include <QImage>

namespace {

bool wholeNumber(const char* text, int& value)
{
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == std::char_traits<char>::length(text) && value >= 0;
    } catch (...) {
        return false;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 7) {
        std::fprintf(stderr, "usage: %s PICTURE.png LEFT TOP SIDE OUT_DIR SIZE...\n", argv[0]);
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    int left = 0, top = 0, side = 0;
    if (picture.isNull() || !wholeNumber(argv[2], left) || !wholeNumber(argv[3], top)
        || !wholeNumber(argv[4], side) || side == 0 || left + side > picture.width()
        || top + side > picture.height()) {
        std::fprintf(stderr, "%s: cannot cut %sx%s+%s+%s out of %s\n", argv[0], argv[4], argv[4], argv[2],
                     argv[3], argv[1]);
        return 2;
    }
    const QImage square = picture.copy(left, top, side, side).convertToFormat(QImage::Format_RGB32);
    const QString outDir = QString::fromLocal8Bit(argv[5]);
    for (int n = 6; n < argc; ++n) {
        int size = 0;
        if (!wholeNumber(argv[n], size) || size == 0 || size > side) {
            std::fprintf(stderr, "%s: bad icon size %s\n", argv[0], argv[n]);
            return 2;
        }
        // Qt's smooth scaling averages every source pixel a target pixel covers when it shrinks.
        const QImage icon = square.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB888);
        const QString path = outDir + QStringLiteral("/genart-%1.png").arg(size);
        if (!icon.save(path, "PNG", 9)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(path));
            return 1;
        }
    }
    return 0;
}
