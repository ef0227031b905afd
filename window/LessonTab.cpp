#include "window/LessonTab.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "support/Cp1251.h"
#include "trainer/Limits.h"

namespace vantrel {

namespace {

// The characters of a lesson, one blank between two, for the label and the screen reader.
QString SpacedCharacters(std::string_view cp1251) {
    QString shown;
    for (char c : cp1251) {
        if (!shown.isEmpty()) {
            shown += QLatin1Char(' ');
        }
        shown += QString::fromStdString(cp1251::ToUtf8(std::string_view(&c, 1)));
    }
    return shown;
}

template <typename T>
T* Named(T* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

}  // namespace

LessonTab::LessonTab(TrainerSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QLatin1String("LessonSheet"));
    AlphabetBox = Named(new QComboBox, "AlphabetBox", QStringLiteral("Алфавит"));
    AlphabetBox->addItem(QStringLiteral("Латинский"));
    AlphabetBox->addItem(QStringLiteral("Русский"));

    LessonSpin = Named(new QSpinBox, "LessonSpin", QStringLiteral("Урок"));
    LessonSpin->setAccessibleDescription(
        QStringLiteral("Урок N учит первые N + 1 знаков порядка Коха"));

    LessonChars = Named(new QLabel, "LessonChars", QStringLiteral("Знаки урока"));
    LessonChars->setWordWrap(true);
    LessonChars->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    LessonChars->setFocusPolicy(Qt::TabFocus);
    QFont font = LessonChars->font();
    font.setPointSize(10);
    LessonChars->setFont(font);

    KnownChars = Named(new QLabel, "KnownChars", tr("Узнаются в упражнении"));
    KnownChars->setWordWrap(true);
    KnownChars->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    KnownChars->setFocusPolicy(Qt::TabFocus);

    NextLessonBtn = Named(new QPushButton(QStringLiteral("Следующий урок")), "NextLessonBtn",
                          QStringLiteral("Следующий урок"));
    NextLessonBtn->setEnabled(false);
    NextLessonBtn->setAccessibleDescription(
        QStringLiteral("Доступна после проверки, в которой верно не меньше 90% знаков"));

    StartDelaySpin = Named(new QSpinBox, "StartDelaySpin", QStringLiteral("Задержка начала"));
    StartDelaySpin->setRange(limits::kStartDelayMin, limits::kStartDelayMax);
    StartDelaySpin->setSuffix(QStringLiteral(" с"));
    StartDelaySpin->setAccessibleDescription(
        QStringLiteral("Секунды тишины перед первым знаком, для медленно включающихся устройств"));

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("&Алфавит:"), AlphabetBox);
    auto* lessonRow = new QHBoxLayout;
    lessonRow->addWidget(LessonSpin);
    lessonRow->addWidget(NextLessonBtn);
    lessonRow->addStretch(1);
    auto* lessonLabel = new QLabel(QStringLiteral("&Урок:"));
    lessonLabel->setBuddy(LessonSpin);
    form->addRow(lessonLabel, lessonRow);
    form->addRow(QStringLiteral("Знаки урока:"), LessonChars);
    form->addRow(tr("Узнаются:"), KnownChars);
    form->addRow(QStringLiteral("&Задержка начала:"), StartDelaySpin);
    for (QWidget* field : {static_cast<QWidget*>(AlphabetBox), static_cast<QWidget*>(LessonSpin),
                           static_cast<QWidget*>(LessonChars), static_cast<QWidget*>(KnownChars),
                           static_cast<QWidget*>(StartDelaySpin)}) {
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(field))) {
            label->setBuddy(field);
        }
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);

    const std::vector<QWidget*> order = TabOrder();
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    ShowSettings();
    connect(AlphabetBox, &QComboBox::currentIndexChanged, this, &LessonTab::AlphabetChange);
    connect(LessonSpin, &QSpinBox::valueChanged, this, &LessonTab::LessonChange);
    connect(NextLessonBtn, &QPushButton::clicked, this, &LessonTab::NextLessonBtnClick);
    connect(StartDelaySpin, &QSpinBox::valueChanged, this,
            [this](int seconds) { session_.SetStartDelay(seconds); });
}

std::vector<QWidget*> LessonTab::TabOrder() const {
    return {AlphabetBox, LessonSpin, NextLessonBtn, LessonChars, KnownChars, StartDelaySpin};
}

void LessonTab::ShowSettings() {
    const QSignalBlocker alphabet(AlphabetBox);
    const QSignalBlocker lesson(LessonSpin);
    const QSignalBlocker delay(StartDelaySpin);
    const TrainerSettings& settings = session_.Settings();
    AlphabetBox->setCurrentIndex(settings.kochAlphabet);
    LessonSpin->setRange(
        progress::kFirstLesson,
        progress::LastLesson(progress::KochAlphabetFromNumber(settings.kochAlphabet)));
    LessonSpin->setValue(settings.lesson);
    StartDelaySpin->setValue(settings.startDelay);
    LessonChange();
}

void LessonTab::OfferNextLesson() {
    NextLessonBtn->setEnabled(true);
}

void LessonTab::AlphabetChange() {
    session_.SetKochAlphabet(AlphabetBox->currentIndex());
    ShowSettings();
}

void LessonTab::LessonChange() {
    session_.SetLesson(LessonSpin->value());
    const TrainerSettings& settings = session_.Settings();
    NextLessonBtn->setEnabled(false);
    LessonChars->setText(SpacedCharacters(progress::LessonCharacters(
        progress::KochAlphabetFromNumber(settings.kochAlphabet), settings.lesson)));
    LessonChars->setAccessibleDescription(LessonChars->text());
    ShowKnowledge();
}

void LessonTab::ShowKnowledge() {
    const LessonMastery mastery = session_.LessonKnowledge();
    std::string known;
    for (std::size_t i = 0; i < mastery.characters.size(); ++i) {
        if (mastery.known[i]) {
            known += mastery.characters[i];
        }
    }
    if (known.empty()) {
        KnownChars->setText(tr("пока ни один"));
    } else if (known.size() == mastery.characters.size()) {
        KnownChars->setText(tr("все знаки урока"));
    } else {
        KnownChars->setText(SpacedCharacters(known));
    }
    KnownChars->setAccessibleDescription(KnownChars->text());
    if (mastery.earnsNextLesson) {
        OfferNextLesson();
    }
}

void LessonTab::NextLessonBtnClick() {
    LessonSpin->setValue(session_.Settings().lesson + 1);
    LessonSpin->setFocus();
}

}  // namespace vantrel
