#include "window/LessonTab.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <utility>

#include "support/Cp1251.h"
#include "trainer/Limits.h"
#include "window/Widgets.h"

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
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

LessonTab::LessonTab(TrainerSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QLatin1String("LessonSheet"));
    AlphabetBox = Named(new QComboBox, "AlphabetBox");
    AlphabetBox->addItems({QString(), QString()});
    LessonSpin = Named(new QSpinBox, "LessonSpin");
    LessonChars = Named(new QLabel, "LessonChars");
    LessonChars->setWordWrap(true);
    LessonChars->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    LessonChars->setFocusPolicy(Qt::TabFocus);
    QFont font = LessonChars->font();
    font.setPointSize(10);
    LessonChars->setFont(font);

    KnownChars = Named(new QLabel, "KnownChars");
    KnownChars->setWordWrap(true);
    KnownChars->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    KnownChars->setFocusPolicy(Qt::TabFocus);

    NextLessonBtn = Named(new QPushButton, "NextLessonBtn");
    NextLessonBtn->setEnabled(false);

    StartDelaySpin = Named(new QSpinBox, "StartDelaySpin");
    StartDelaySpin->setRange(limits::kStartDelayMin, limits::kStartDelayMax);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    auto* lessonRow = new QHBoxLayout;
    lessonRow->addWidget(LessonSpin);
    lessonRow->addWidget(NextLessonBtn);
    lessonRow->addStretch(1);
    const std::pair<QLabel**, QWidget*> rows[] = {{&AlphabetLabel, AlphabetBox},
                                                  {&LessonLabel, LessonSpin},
                                                  {&LessonCharsLabel, LessonChars},
                                                  {&KnownCharsLabel, KnownChars},
                                                  {&StartDelayLabel, StartDelaySpin}};
    for (const auto& [label, field] : rows) {
        *label = new QLabel;
        (*label)->setBuddy(field);
        if (field == LessonSpin) {
            form->addRow(*label, lessonRow);
        } else {
            form->addRow(*label, field);
        }
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);

    ChainTabOrder(TabOrder());

    RetranslateUi();
    ShowSettings();
    connect(AlphabetBox, &QComboBox::currentIndexChanged, this, &LessonTab::AlphabetChange);
    connect(LessonSpin, &QSpinBox::valueChanged, this, &LessonTab::LessonChange);
    connect(NextLessonBtn, &QPushButton::clicked, this, &LessonTab::NextLessonBtnClick);
    connect(StartDelaySpin, &QSpinBox::valueChanged, this,
            [this](int seconds) { session_.SetStartDelay(seconds); });
}

void LessonTab::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        ShowKnowledge();
    }
    QWidget::changeEvent(event);
}

void LessonTab::RetranslateUi() {
    AlphabetLabel->setText(tr("&Алфавит:"));
    AlphabetBox->setAccessibleName(tr("Алфавит"));
    AlphabetBox->setItemText(0, tr("Латинский"));
    AlphabetBox->setItemText(1, tr("Русский"));
    LessonLabel->setText(tr("&Урок:"));
    LessonSpin->setAccessibleName(tr("Урок"));
    LessonSpin->setAccessibleDescription(tr("Урок N учит первые N + 1 знаков порядка Коха"));
    NextLessonBtn->setText(tr("Следующий урок"));
    NextLessonBtn->setAccessibleName(tr("Следующий урок"));
    NextLessonBtn->setAccessibleDescription(
        tr("Доступна после проверки, в которой верно не меньше 90% знаков"));
    LessonCharsLabel->setText(tr("Знаки урока:"));
    LessonChars->setAccessibleName(tr("Знаки урока"));
    KnownCharsLabel->setText(tr("Узнаются:"));
    KnownChars->setAccessibleName(tr("Узнаются в упражнении"));
    StartDelayLabel->setText(tr("&Задержка начала:"));
    StartDelaySpin->setAccessibleName(tr("Задержка начала"));
    StartDelaySpin->setSuffix(tr(" с"));
    StartDelaySpin->setAccessibleDescription(
        tr("Секунды тишины перед первым знаком, для медленно включающихся устройств"));
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
