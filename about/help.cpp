#include "about/help.h"

#include <cmath>

#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "about/ProgramIcons.h"
#include "platform/settings/SettingsBackend.h"

#ifndef VANTREL_VERSION
#define VANTREL_VERSION "0.1"
#endif

namespace vantrel {

namespace {

constexpr int kMargin = 16;
constexpr int kColumnLeft = 152;
constexpr int kIconSide = 128;

QString DefaultSettingsLocation() {
    QString path = QString::fromStdString(settings::UserSettingsLocation());
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QLatin1String("/") && path.startsWith(home + '/')) {
        path = '~' + path.mid(home.size());
    }
    return path;
}

QLabel* MakeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

void SetLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text);
}

// Perceived brightness, 0 to 1.
double Luminance(const QColor& c) {
    return (0.299 * c.redF() + 0.587 * c.greenF() + 0.114 * c.blueF());
}

}  // namespace

TForm1::TForm1(QWidget* parent, const QString& settingsLocation) : QDialog(parent) {
    setObjectName(QLatin1String("Form1"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(kWidth, kHeight);
    UseLightBackground();

    Image1 = new QLabel(this);
    Image1->setObjectName(QLatin1String("Image1"));
    Image1->setGeometry(kMargin, kMargin, 153, 137);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DrawPicture();
    Image1->setAccessibleName(QStringLiteral("Vantrel"));

    // The texts stand in a column right of the picture; a layout sizes them by the font in use.
    auto* column = new QWidget(this);
    column->setGeometry(kColumnLeft, kMargin, kWidth - kColumnLeft - kMargin,
                        kHeight - 2 * kMargin);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    Label1 = MakeLabel(column, "Label1");
    Label2 = MakeLabel(column, "Label2");
    SetLabelText(Label2, QStringLiteral("Vantrel " VANTREL_VERSION));
    const QString location =
        settingsLocation.isEmpty() ? DefaultSettingsLocation() : settingsLocation;
    // A path has no blanks to wrap at: one too long for the column is shortened in the middle
    // and shown whole in the tool tip.
    shownLocation_ = column->fontMetrics().elidedText(location, Qt::ElideMiddle, column->width());
    Label3 = MakeLabel(column, "Label3");
    Label3->setToolTip(location);

    Button1 = new QPushButton(column);
    Button1->setObjectName(QLatin1String("Button1"));
    Button1->setDefault(true);
    Button1->setMinimumSize(75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

    layout->addStretch(1);
    layout->addWidget(Label1);
    layout->addSpacing(12);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addSpacing(12);
    layout->addWidget(Button1, 0, Qt::AlignLeft);
    layout->addStretch(1);
    RetranslateUi();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

void TForm1::RetranslateUi() {
    setWindowTitle(tr("О программе..."));
    setAccessibleName(windowTitle());
    SetLabelText(Label1, tr("Программа  для обучения приема/передачи азбукой морзе."));
    SetLabelText(Label3, tr("Настройки: ") + shownLocation_);
    Button1->setText(tr("OK"));
    Button1->setAccessibleName(Button1->text());
}

void TForm1::Button1Click() {
    accept();
}

// Drawn again on every showing, for the pixel density of the screen it appears on.
void TForm1::showEvent(QShowEvent* event) {
    DrawPicture();
    QDialog::showEvent(event);
}

void TForm1::DrawPicture() {
    Image1->setPixmap(ProgramIcon().pixmap(QSize(kIconSide, kIconSide), devicePixelRatioF()));
}

// The window's ground is the theme's highlight shade of buttons, unless the theme's text
// would not read on it; then it keeps the usual window ground.
void TForm1::UseLightBackground() {
    QPalette pal = palette();
    const QColor ground = pal.color(QPalette::Light);
    if (std::abs(Luminance(ground) - Luminance(pal.color(QPalette::WindowText))) >= 0.5) {
        pal.setColor(QPalette::Window, ground);
        setPalette(pal);
    }
    setAutoFillBackground(true);
}

}  // namespace vantrel
