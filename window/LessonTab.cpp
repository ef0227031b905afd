#include "window/LessonTab.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

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

LessonTab::LessonTab(QWidget* parent) : QWidget(parent) {
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

    NextLessonBtn = Named(new QPushButton(QStringLiteral("Следующий урок")), "NextLessonBtn",
                          QStringLiteral("Следующий урок"));
    NextLessonBtn->setEnabled(false);
    NextLessonBtn->setAccessibleDescription(
        QStringLiteral("Доступна после проверки, в которой верно не меньше 90% знаков"));

    StartDelaySpin = Named(new QSpinBox, "StartDelaySpin", QStringLiteral("Задержка начала"));
    StartDelaySpin->setRange(limits::kStartDelayMin, limits::kStartDelayMax);
    StartDelaySpin->setValue(limits::kStartDelayDefault);
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
    form->addRow(QStringLiteral("&Задержка начала:"), StartDelaySpin);
    for (QWidget* field :
         {static_cast<QWidget*>(AlphabetBox), static_cast<QWidget*>(LessonSpin),
          static_cast<QWidget*>(LessonChars), static_cast<QWidget*>(StartDelaySpin)}) {
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

    AlphabetChange();
    connect(AlphabetBox, &QComboBox::currentIndexChanged, this, &LessonTab::AlphabetChange);
    connect(LessonSpin, &QSpinBox::valueChanged, this, &LessonTab::LessonChange);
    connect(NextLessonBtn, &QPushButton::clicked, this, &LessonTab::NextLessonBtnClick);
    connect(StartDelaySpin, &QSpinBox::valueChanged, this, &LessonTab::startDelayChanged);
}

progress::KochAlphabet LessonTab::Alphabet() const {
    return progress::KochAlphabetFromNumber(AlphabetBox->currentIndex());
}

int LessonTab::Lesson() const {
    return LessonSpin->value();
}

std::vector<QWidget*> LessonTab::TabOrder() const {
    return {AlphabetBox, LessonSpin, NextLessonBtn, LessonChars, StartDelaySpin};
}

int LessonTab::StartDelaySeconds() const {
    return StartDelaySpin->value();
}

void LessonTab::SetAlphabet(int number) {
    AlphabetBox->setCurrentIndex(static_cast<int>(progress::KochAlphabetFromNumber(number)));
}

void LessonTab::SetLesson(int lesson) {
    LessonSpin->setValue(progress::ClampLesson(Alphabet(), lesson));
}

void LessonTab::SetStartDelaySeconds(int seconds) {
    StartDelaySpin->setValue(std::clamp(seconds, limits::kStartDelayMin, limits::kStartDelayMax));
}

std::optional<std::string> LessonTab::AfterCheck(std::string_view keyedCp1251,
                                                 std::string_view copyCp1251) {
    if (Lesson() >= progress::LastLesson(Alphabet()) ||
        !progress::CopyEarnsNextLesson(keyedCp1251, copyCp1251)) {
        return std::nullopt;
    }
    NextLessonBtn->setEnabled(true);
    return "Верно не меньше 90% знаков. Можно переходить к уроку " + std::to_string(Lesson() + 1) +
           ": кнопка «Следующий урок» на вкладке «Урок».";
}

void LessonTab::AlphabetChange() {
    LessonSpin->setRange(progress::kFirstLesson, progress::LastLesson(Alphabet()));
    LessonChange();
}

void LessonTab::LessonChange() {
    NextLessonBtn->setEnabled(false);
    LessonChars->setText(SpacedCharacters(progress::LessonCharacters(Alphabet(), Lesson())));
    LessonChars->setAccessibleDescription(LessonChars->text());
}

void LessonTab::NextLessonBtnClick() {
    LessonSpin->setValue(Lesson() + 1);
    LessonSpin->setFocus();
}

}  // namespace vantrel
