// vantrel_icon_export: writes the program's icon, drawn by the same code as the window's icon,
// as the PNG files of a desktop icon theme, and compares a picture with that drawing.
//
//   vantrel_icon_export <folder> <name> <size>...   writes <folder>/<size>x<size>/apps/<name>.png
//   vantrel_icon_export --compare <picture> [<other picture>] <limit>
//       compares a picture with the icon drawn at its size, or with another picture, and fails
//       when more than <limit> percent of the pixels differ beyond antialiasing. A picture is a
//       PNG file, or a .txt file holding a window's icon as xprop prints _NET_WM_ICON
//       ("width, height, ARGB...", one icon).
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "about/ProgramIcons.h"

namespace {

QImage DrawIcon(int side) {
    return vantrel::ProgramIcon()
        .pixmap(QSize(side, side))
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

int WriteIcons(const QString& folder, const QString& name, const QStringList& sizes) {
    for (const QString& text : sizes) {
        bool ok = false;
        const int side = text.toInt(&ok);
        if (!ok || side <= 0) {
            std::fprintf(stderr, "not an icon size: %s\n", qPrintable(text));
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(side);
        const QString path = QStringLiteral("%1/%2.png").arg(dir, name);
        if (!QDir().mkpath(dir) || !DrawIcon(side).save(path, "PNG")) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

// The share of pixels, in percent, where a channel differs by more than a rounding or
// antialiasing difference would; colours are weighed by their opacity, so a transparent corner
// counts by its opacity alone.
double DifferingPixels(const QImage& a, const QImage& b) {
    constexpr int kTolerance = 32;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int colour =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
            const int weighed = colour * std::max(qAlpha(p), qAlpha(q)) / 255;
            if (std::max(weighed, std::abs(qAlpha(p) - qAlpha(q))) > kTolerance) {
                ++differing;
            }
        }
    }
    return 100.0 * differing / (a.width() * a.height());
}

QImage LoadPicture(const QString& path) {
    if (!path.endsWith(QLatin1String(".txt"))) {
        return QImage(path).convertToFormat(QImage::Format_ARGB32);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QStringList numbers =
        QString::fromLatin1(file.readAll())
            .split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
    const int width = numbers.value(0).toInt();
    const int height = numbers.value(1).toInt();
    if (width <= 0 || height <= 0 || numbers.size() != 2 + width * height) {
        return {};
    }
    QImage image(width, height, QImage::Format_ARGB32);
    for (int i = 0; i < width * height; ++i) {
        image.setPixel(i % width, i / width, numbers[2 + i].toUInt());
    }
    return image;
}

int Compare(const QString& path, const QString& otherPath, double limit) {
    const QImage picture = LoadPicture(path);
    if (picture.isNull() || picture.width() != picture.height()) {
        std::fprintf(stderr, "%s is not a square picture\n", qPrintable(path));
        return 2;
    }
    const QImage other = otherPath.isEmpty() ? DrawIcon(picture.width()) : LoadPicture(otherPath);
    if (other.size() != picture.size()) {
        std::fprintf(stderr, "%s is not a picture of the same size\n", qPrintable(otherPath));
        return 2;
    }
    const double differing = DifferingPixels(picture, other);
    std::printf("%.2f %% of the pixels differ (limit %.2f %%)\n", differing, limit);
    return differing <= limit ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if ((args.size() == 3 || args.size() == 4) && args[0] == QLatin1String("--compare")) {
        return Compare(args[1], args.size() == 4 ? args[2] : QString(), args.last().toDouble());
    }
    if (args.size() >= 3 && !args[0].startsWith(QLatin1Char('-'))) {
        return WriteIcons(args[0], args[1], args.mid(2));
    }
    std::fprintf(stderr,
                 "usage: vantrel_icon_export <folder> <name> <size>...\n"
                 "       vantrel_icon_export --compare <picture> [<other picture>] <limit>\n");
    return 2;
}
