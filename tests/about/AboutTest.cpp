// The about window and the program's drawn icons.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include "about/ProgramIcons.h"
#include "about/help.h"
#include "tests/window/QtTestEnvironment.h"

namespace vantrel {
namespace {

TEST(AboutWindowTest, ShowsItsCaptionTextsAndOnlyACloseBox) {
    TForm1 form(nullptr, QStringLiteral("~/.config/Quorbit/Vantrel.conf"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("О программе..."));
    EXPECT_EQ(form.Label1->text(),
              QStringLiteral("Программа  для обучения приема/передачи азбукой морзе."));
    EXPECT_TRUE(form.Label1->wordWrap() && form.isModal());
    EXPECT_TRUE(form.Label2->text().startsWith(QStringLiteral("Vantrel ")));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Настройки: ~/.config/Quorbit/Vantrel.conf"));
    EXPECT_EQ(form.Button1->text(), QStringLiteral("OK"));
    EXPECT_TRUE(form.Button1->isDefault());
    for (QLabel* label : {form.Label1, form.Label2, form.Label3})
        EXPECT_EQ(label->accessibleName(), label->text());
    EXPECT_EQ(form.Button1->accessibleName(), QStringLiteral("OK"));
    EXPECT_EQ(form.accessibleName(), form.windowTitle());
    EXPECT_EQ(form.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                                    Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint),
              Qt::WindowCloseButtonHint);
    EXPECT_EQ(form.Image1->geometry(), QRect(16, 16, 153, 137));
    EXPECT_EQ(form.Image1->pixmap().deviceIndependentSize().toSize(), QSize(128, 128));
}

TEST(AboutWindowTest, OkEnterAndEscapeEachCloseItAndItShowsAgain) {
    TForm1 form;
    for (const auto& [key, result] : {std::pair{Qt::Key_unknown, QDialog::Accepted},
                                      {Qt::Key_Escape, QDialog::Rejected},
                                      {Qt::Key_Return, QDialog::Accepted}}) {
        form.setResult(-1);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        if (key == Qt::Key_unknown)
            QTest::mouseClick(form.Button1, Qt::LeftButton);
        else
            QTest::keyClick(&form, key);
        EXPECT_FALSE(form.isVisible()) << key;
        EXPECT_EQ(form.result(), result) << key;
    }
}

TEST(AboutWindowTest, SizeIsFixedAndNothingIsClipped) {
    const QFont original = QApplication::font();
    for (int pointSize : {0, 10, 11}) {
        QFont font = original;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        TForm1 form(nullptr, QStringLiteral("/home/a-learner-with-a-long-name/.config/Quorbit/"
                                            "Vantrel.conf"));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        EXPECT_EQ(form.minimumSize(), form.maximumSize());
        EXPECT_EQ(form.size(), QSize(TForm1::kWidth, TForm1::kHeight));
        for (QWidget* w :
             std::initializer_list<QWidget*>{form.Label1, form.Label2, form.Label3, form.Button1}) {
            auto* label = qobject_cast<QLabel*>(w);
            EXPECT_TRUE(label ? label->heightForWidth(w->width()) <= w->height()
                              : w->sizeHint().width() <= w->width() + 1)
                << w->objectName().toStdString() << " at " << font.pointSize() << " pt";
            EXPECT_TRUE(form.rect().contains(QRect(w->mapTo(&form, QPoint()), w->size())));
        }
        EXPECT_TRUE(form.Label3->toolTip().endsWith(QStringLiteral("Quorbit/Vantrel.conf")));
    }
    QApplication::setFont(original);
}

constexpr int kImages[] = {kImageCheck,    kImageClear, kImagePause, kImageStart,
                           kImageOpenFile, kImageExit,  kImageAbout};

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 200;
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
        for (int i = 0; i < 24 * 24; ++i) {
            const QRgb p = disabled.pixel(i % 24, i / 24);
            ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << i;
            ASSERT_LE(qAlpha(p), qAlpha(image.pixel(i % 24, i / 24))) << i;
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
