#include "about/help.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

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
    for (QLabel* label : {form.Label1, form.Label2, form.Label3}) {
        EXPECT_EQ(label->accessibleName(), label->text());
    }
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
        if (key == Qt::Key_unknown) {
            QTest::mouseClick(form.Button1, Qt::LeftButton);
        } else {
            QTest::keyClick(&form, key);
        }
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

}  // namespace
}  // namespace vantrel
