#include "about/help.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "tests/ui/AboutTestApp.h"

namespace vantrel {
namespace {

class AboutWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { app_ = std::make_unique<testing::AboutTestApp>(); }
    static void TearDownTestSuite() { app_.reset(); }

    void ShowAndSettle(TForm1& form) {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    // True when the widget lies inside the window and its text needs no more room than it has.
    static bool FitsInWindow(const QWidget& window, const QWidget& w) {
        const QRect inWindow(w.mapTo(&window, QPoint(0, 0)), w.size());
        return window.rect().contains(inWindow) && w.sizeHint().width() <= w.width() + 1;
    }
    static bool LabelShowsAllItsText(const QLabel& label) {
        return label.heightForWidth(label.width()) <= label.height();
    }

    static inline std::unique_ptr<testing::AboutTestApp> app_;
};

TEST_F(AboutWindowTest, ShowsItsCaptionTextsAndOnlyACloseBox) {
    TForm1 form(nullptr, QStringLiteral("~/.config/Quorbit/Vantrel.conf"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("О программе..."));
    EXPECT_EQ(form.Label1->text(),
              QStringLiteral("Программа  для обучения приема/передачи азбукой морзе."));
    EXPECT_TRUE(form.Label1->wordWrap());
    EXPECT_TRUE(form.Label2->text().startsWith(QStringLiteral("Vantrel ")));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Настройки: ~/.config/Quorbit/Vantrel.conf"));
    EXPECT_EQ(form.Button1->text(), QStringLiteral("OK"));
    EXPECT_TRUE(form.Button1->isDefault());

    for (QWidget* w : std::initializer_list<QWidget*>{form.Label1, form.Label2, form.Label3}) {
        EXPECT_EQ(w->accessibleName(), static_cast<QLabel*>(w)->text());
    }
    EXPECT_EQ(form.Button1->accessibleName(), QStringLiteral("OK"));
    EXPECT_EQ(form.accessibleName(), form.windowTitle());

    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowContextHelpButtonHint));
}

TEST_F(AboutWindowTest, OkEnterAndEscapeEachCloseItAndItShowsAgain) {
    TForm1 form;
    ShowAndSettle(form);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());

    ShowAndSettle(form);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);

    ShowAndSettle(form);
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(AboutWindowTest, ModalShowReturnsWhenOkIsPressed) {
    TForm1 form;
    QTimer::singleShot(0, form.Button1, [&] { form.Button1->click(); });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(form.isModal());
}

TEST_F(AboutWindowTest, SizeIsFixedAndNothingIsClipped) {
    const QFont original = QApplication::font();
    for (int pointSize : {0, 10, 11}) {
        QFont font = original;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        TForm1 form(nullptr, QStringLiteral("/home/a-learner-with-a-long-name/.config/Quorbit/"
                                            "Vantrel.conf"));
        ShowAndSettle(form);
        EXPECT_EQ(form.minimumSize(), form.maximumSize());
        EXPECT_EQ(form.size(), QSize(TForm1::kWidth, TForm1::kHeight));
        for (QLabel* label : {form.Label1, form.Label2, form.Label3}) {
            EXPECT_TRUE(LabelShowsAllItsText(*label))
                << label->objectName().toStdString() << " at " << font.pointSize() << " pt";
            EXPECT_TRUE(form.rect().contains(QRect(label->mapTo(&form, QPoint()), label->size())));
        }
        EXPECT_TRUE(FitsInWindow(form, *form.Button1));
        EXPECT_TRUE(form.Label3->toolTip().endsWith(QStringLiteral("Quorbit/Vantrel.conf")));
    }
    QApplication::setFont(original);
}

TEST_F(AboutWindowTest, PictureIsTheProgramIconAtTheTopLeft) {
    TForm1 form;
    EXPECT_EQ(form.Image1->geometry(), QRect(16, 16, 153, 137));
    const QPixmap picture = form.Image1->pixmap();
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(128, 128));
}

}  // namespace
}  // namespace vantrel
