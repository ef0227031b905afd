#include "about/ProgramIcons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "tests/window/QtTestEnvironment.h"

namespace vantrel {
namespace {

constexpr int kImages[] = {kImageCheck,    kImageClear, kImagePause, kImageStart,
                           kImageOpenFile, kImageExit,  kImageAbout};

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 200;
    }
    return count;
}

// Indices without an image give null icons.
TEST(ProgramIconsTest, EveryToolImageIsItsOwnDrawingAtEverySizeAsked) {
    for (int index : {-1, 0, 5, 6, 10})
        EXPECT_TRUE(ToolIcon(index).isNull()) << index;
    QList<QImage> seen;
    for (int index : kImages) {
        const QIcon icon = ToolIcon(index);
        ASSERT_FALSE(icon.isNull()) << index;
        for (int side : {16, 22, 24, 32, 48}) {
            const QImage image = icon.pixmap(QSize(side, side)).toImage();
            ASSERT_EQ(image.size(), QSize(side, side)) << index;
            // Mostly drawn, yet not a filled square.
            const int opaque = OpaquePixels(image);
            EXPECT_GT(opaque, side * side / 8) << index << " at " << side;
            EXPECT_LT(opaque, side * side) << index << " at " << side;
        }
        const QImage image = icon.pixmap(24).toImage();
        EXPECT_FALSE(seen.contains(image)) << index << " looks like another image";
        seen.append(image);
        // Disabled: a faded grey.
        const QImage disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage();
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const QRgb p = disabled.pixel(x, y);
                ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
                ASSERT_LE(qAlpha(p), qAlpha(image.pixel(x, y)));
            }
        }
    }
}

TEST(ProgramIconsTest, ProgramIconIsARoundedTileSharpAtHighDensity) {
    const QIcon icon = ProgramIcon();
    const QImage image = icon.pixmap(QSize(128, 128)).toImage();
    ASSERT_EQ(image.size(), QSize(128, 128));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "rounded corner";
    EXPECT_EQ(qAlpha(image.pixel(64, 20)), 255) << "tile";

    const QPixmap dense = icon.pixmap(QSize(64, 64), 2.0);
    EXPECT_EQ(std::pair(dense.size(), dense.devicePixelRatio()), std::pair(QSize(128, 128), 2.0));

    EXPECT_EQ(icon.pixmap(QSize(48, 32)).size(), QSize(32, 32)) << "kept square";
    EXPECT_TRUE(icon.availableSizes().contains(QSize(128, 128)));
}

}  // namespace
}  // namespace vantrel
