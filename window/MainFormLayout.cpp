// The main window's controls, laid out as the learner knows them; MainForm.cpp connects them.
#include "window/MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

#include "about/ProgramIcons.h"
#include "trainer/Limits.h"
#include "window/AccessibleSlider.h"
#include "window/Announcer.h"
#include "window/BandTab.h"
#include "window/CheckComparisonView.h"
#include "window/DrillWindows.h"
#include "window/LearnerProgress.h"
#include "window/LessonTab.h"
#include "window/ThemeColours.h"
#include "window/Widgets.h"
#include "window/Wording.h"

namespace vantrel {
namespace {

constexpr int kTextWinHeight = 120;
constexpr int kTextWinMinimumHeight = 40;
constexpr int kLowerTabsHeight = 206;
constexpr int kDesignClientWidth = 798;
constexpr int kDesignClientHeight = 489;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Layout

void TMorseMain::CreateActions() {
    N4 = MakeAction(this, "N4", kImageStart);
    N4->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    N5 = MakeAction(this, "N5", kImagePause);
    N5->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    N6 = MakeAction(this, "N6", kImageOpenFile);
    N6->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    N14 = MakeAction(this, "N14", kImageExit);
    N14->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    N14->setMenuRole(QAction::QuitRole);
    N12 = MakeAction(this, "N12", kImageAbout);
    N12->setShortcut(QKeySequence(Qt::Key_F1));
    N12->setMenuRole(QAction::AboutRole);
    ExportAudio = new QAction(this);
    ExportAudio->setObjectName(QLatin1String("ExportAudio"));
    ExportAudio->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));

    StartBtnTool = MakeAction(this, "StartBtnTool", kImageStart);
    PauseBtnTool = MakeAction(this, "PauseBtnTool", kImagePause);
    PauseBtnTool->setEnabled(false);
    ToolButton3 = MakeAction(this, "ToolButton3", kImageCheck);
    ToolButton3->setEnabled(false);
    ToolButton5 = MakeAction(this, "ToolButton5", kImageClear);
    ToolButton1 = MakeAction(this, "ToolButton1", kImageClear);

    for (QAction* action : {N4, N5, N6, N14, N12, ExportAudio}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }

    // The languages, each named in itself; the current one checked.
    auto* languages = new QActionGroup(this);
    for (auto [item, name, language] :
         {std::tuple{&RussianItem, "RussianItem", Language::Russian},
          std::tuple{&EnglishItem, "EnglishItem", Language::English}}) {
        *item = new QAction(languages);
        (*item)->setObjectName(QLatin1String(name));
        (*item)->setCheckable(true);
        connect(*item, &QAction::triggered, this, [this, language] { ChooseLanguage(language); });
    }
    RussianItem->setText(QStringLiteral("Русский"));
    EnglishItem->setText(QStringLiteral("English"));
}

void TMorseMain::CreateMenus() {
    N1 = menuBar()->addMenu(QString());
    N1->setObjectName(QLatin1String("N1"));
    N1->addAction(N4);
    N1->addAction(N5);
    N1->addAction(N6);
    N1->addAction(ExportAudio);
    N1->addAction(progress_->StatisticsAction());
    N1->addAction(drills_->CharacterDrillAction());
    N1->addAction(drills_->SprintAction());
    N1->addSeparator();
    N1->addAction(N14);
    // Named in both languages, so that either reader finds it.
    LanguageMenu = menuBar()->addMenu(QStringLiteral("Язык / &Language"));
    LanguageMenu->setObjectName(QLatin1String("LanguageMenu"));
    LanguageMenu->addAction(RussianItem);
    LanguageMenu->addAction(EnglishItem);
    N11 = menuBar()->addMenu(QString());
    N11->setObjectName(QLatin1String("N11"));
    N11->addAction(N12);
}

// The keyed text above, the tabs below, a splitter between them.
void TMorseMain::CreateCentralArea() {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setObjectName(QLatin1String("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(CreateUpperArea());
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QLatin1String("PageControl1"));
    PageControl1->addTab(CreateSettingsTab(), QString());
    PageControl1->addTab(CreateCheckTab(), QString());
    PageControl1->addTab(CreateInputTab(), QString());
    lessonTab_ = new LessonTab(*session_);
    PageControl1->addTab(lessonTab_, QString());
    bandTab_ = new BandTab(*session_);
    PageControl1->addTab(bandTab_, QString());
    Splitter1->addWidget(PageControl1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    layout->addWidget(Splitter1);
    setCentralWidget(central);
}

QWidget* TMorseMain::CreateUpperArea() {
    auto* panel = new QWidget;
    panel->setObjectName(QLatin1String("Panel1"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);

    PageControl2 = new QTabWidget;
    PageControl2->setObjectName(QLatin1String("PageControl2"));
    auto* tab = new QWidget;
    tab->setObjectName(QLatin1String("TabSheet3"));
    auto* tabLayout = new QVBoxLayout(tab);
    tabLayout->setContentsMargins(2, 2, 2, 2);
    tabLayout->setSpacing(2);
    ToolBar1 = MakeToolBar("ToolBar1");
    ToolBar1->addAction(StartBtnTool);
    ToolBar1->addAction(PauseBtnTool);
    tabLayout->addWidget(ToolBar1);

    TextWin = new QPlainTextEdit;
    TextWin->setObjectName(QLatin1String("TextWin"));
    TextWin->setReadOnly(true);
    TextWin->setUndoRedoEnabled(false);
    TextWin->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    TextWin->setFocusPolicy(Qt::StrongFocus);
    TextWin->setTabChangesFocus(true);
    TextWin->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextWin->setFixedHeight(kTextWinHeight);
    QFont textFont = TextWin->font();
    textFont.setPointSize(10);
    TextWin->setFont(textFont);
    // The text keeps the theme's text and ground colours. The selection stays visible when the
    // text window loses the focus.
    QPalette textPalette = TextWin->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        textPalette.setColor(QPalette::Inactive, role, textPalette.color(QPalette::Active, role));
    }
    TextWin->setPalette(textPalette);
    QSizePolicy keepPlace = TextWin->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    TextWin->setSizePolicy(keepPlace);
    tabLayout->addWidget(TextWin);
    PageControl2->addTab(tab, QString());
    // A single tab offers no choice: its bar takes no focus.
    PageControl2->setFocusPolicy(Qt::NoFocus);
    PageControl2->tabBar()->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(PageControl2);

    auto* buttons = new QHBoxLayout;
    StartBtn = new QPushButton;
    StartBtn->setObjectName(QLatin1String("StartBtn"));
    PauseBtn = new QPushButton;
    PauseBtn->setObjectName(QLatin1String("PauseBtn"));
    PauseBtn->setEnabled(false);
    buttons->addWidget(StartBtn);
    buttons->addWidget(PauseBtn);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return panel;
}

QWidget* TMorseMain::CreateSettingsTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QLatin1String("TabSheet1"));
    auto* layout = new QHBoxLayout(tab);
    layout->addWidget(CreateSpeedGroup());
    layout->addWidget(CreateSpacingGroup());
    layout->addWidget(CreateTextTypeGroup(), 1);
    layout->addWidget(CreatePitchGroup());
    layout->addWidget(CreateVolumeGroup());
    layout->addWidget(CreateNoiseGroup());
    return tab;
}

QWidget* TMorseMain::CreateSpeedGroup() {
    SpeedTrackBar = MakeTrackBar("SpeedTrackBar", SpeedScale(), limits::kSpeedDefault, 1);
    SpeedGroup = MakeTrackBarGroup(SpeedTrackBar, new QLabel(QString::number(limits::kSpeedMin)),
                                   new QLabel(QString::number(limits::kSpeedMax)));
    return SpeedGroup;
}

QWidget* TMorseMain::CreateSpacingGroup() {
    SpacingTrackBar = MakeTrackBar("SpacingTrackBar", SpacingScale(), limits::kSpacingDefault, 1);
    SpacingNormalLabel = new QLabel;
    SpacingLongLabel = new QLabel;
    SpacingGroup = MakeTrackBarGroup(SpacingTrackBar, SpacingNormalLabel, SpacingLongLabel);
    return SpacingGroup;
}

QWidget* TMorseMain::CreatePitchGroup() {
    PitchTrackBar = MakeTrackBar("PitchTrackBar", PitchScale(), limits::kPitchFormValue, 2);
    PitchGroup =
        MakeTrackBarGroup(PitchTrackBar, new QLabel(QString::number(PitchScale().MinimumValue())),
                          new QLabel(QString::number(PitchScale().MaximumValue())));
    return PitchGroup;
}

QWidget* TMorseMain::CreateVolumeGroup() {
    VolTrackBar = MakeTrackBar("VolTrackBar", VolumeScale(), limits::kVolumeDefault, 1);
    VolumeGroup = MakeTrackBarGroup(VolTrackBar, nullptr, nullptr);
    return VolumeGroup;
}

QWidget* TMorseMain::CreateTextTypeGroup() {
    auto* column = new QWidget;
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);

    TextTypeGroup = new QGroupBox;
    TextTypeGroup->setObjectName(QLatin1String("TextTypeGroup"));
    auto* grid = new QGridLayout(TextTypeGroup);
    TextType = new QButtonGroup(this);
    TextType->setObjectName(QLatin1String("TextType"));
    for (int index = 0; index <= limits::kTextTypeLast; ++index) {
        auto* button = new QRadioButton;
        button->setObjectName(QStringLiteral("TextType%1").arg(index));
        TextType->addButton(button, index);
        grid->addWidget(button, index, 0);
        if (index == static_cast<int>(vantrel::TextType::File)) {
            TextFileBtn = new QPushButton(QStringLiteral("..."));
            TextFileBtn->setObjectName(QLatin1String("TextFileBtn"));
            TextFileBtn->setFixedWidth(
                TextFileBtn->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
            grid->addWidget(TextFileBtn, index, 1);
        }
    }
    grid->setColumnStretch(2, 1);
    columnLayout->addWidget(TextTypeGroup);

    CheckBox1 = new QCheckBox;
    CheckBox1->setObjectName(QLatin1String("CheckBox1"));
    CheckBox1->setChecked(true);
    columnLayout->addWidget(CheckBox1);
    columnLayout->addStretch(1);
    return column;
}

QWidget* TMorseMain::CreateNoiseGroup() {
    NoiseGroup = new QGroupBox;
    NoiseGroup->setObjectName(QLatin1String("GroupBox5"));
    auto* layout = new QVBoxLayout(NoiseGroup);
    CheckBox2 = new QCheckBox;
    CheckBox2->setObjectName(QLatin1String("CheckBox2"));
    CheckBox3 = new QCheckBox;
    CheckBox3->setObjectName(QLatin1String("CheckBox3"));
    ScrollBar1 = new QScrollBar(Qt::Horizontal);
    AccessibleSlider::Install(ScrollBar1, {limits::kNoiseLevelMin, limits::kNoiseLevelMax, 1});
    ScrollBar1->setObjectName(QLatin1String("ScrollBar1"));
    ScrollBar1->setRange(limits::kNoiseLevelMin, limits::kNoiseLevelMax);
    // Steps large enough that the keyboard can move the level in reasonable time.
    ScrollBar1->setSingleStep(100);
    ScrollBar1->setPageStep(1000);
    ScrollBar1->setValue(limits::kNoiseLevelMax);
    ScrollBar1->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(CheckBox2);
    layout->addWidget(CheckBox3);
    layout->addStretch(1);
    layout->addWidget(ScrollBar1);
    NoiseGroup->setMinimumWidth(152);
    return NoiseGroup;
}

QWidget* TMorseMain::CreateCheckTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QLatin1String("TabSheet2"));
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* bar = MakeToolBar("ToolBar2");
    bar->addSeparator();
    bar->addAction(ToolButton3);
    bar->addAction(ToolButton5);
    layout->addWidget(bar);

    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QLatin1String("Memo1"));
    Memo1->setTabChangesFocus(true);
    QFont font = Memo1->font();
    font.setPointSize(10);
    Memo1->setFont(font);
    FollowThemeInCopyArea(Memo1);
    auto* copyRow = new QHBoxLayout;
    copyRow->addWidget(Memo1, 1);
    copyRow->addWidget(progress_->ComparisonView(), 1);
    layout->addLayout(copyRow);
    return tab;
}

QWidget* TMorseMain::CreateInputTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QLatin1String("TabSheet4"));
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* bar = MakeToolBar("ToolBar3");
    bar->addAction(ToolButton1);
    layout->addWidget(bar);
    Memo2 = new QPlainTextEdit;
    Memo2->setObjectName(QLatin1String("Memo2"));
    Memo2->setTabChangesFocus(true);
    layout->addWidget(Memo2);
    return tab;
}

void TMorseMain::CreateStatusBar() {
    StatusText = new QLabel;
    StatusText->setObjectName(QLatin1String("StatusText"));
    StatusText->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    StatusText->setFocusPolicy(Qt::TabFocus);
    statusBar()->setObjectName(QLatin1String("StatusBar"));
    statusBar()->addWidget(StatusText, 1);
    statusBar()->setSizeGripEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// Texts, set again whenever the language changes

void TMorseMain::RetranslateUi() {
    N1->setTitle(tr("&Файл"));
    N11->setTitle(tr("&Справка"));
    N4->setText(tr("Пуск"));
    N5->setText(tr("Пауза"));
    N6->setText(tr("Открыть файл"));
    N14->setText(tr("Выход"));
    N12->setText(tr("О программе"));
    ExportAudio->setText(tr("Сохранить как звук..."));
    progress_->RetranslateUi();
    StartBtnTool->setText(tr("Пуск"));
    ToolButton3->setText(tr("Проверить"));
    ToolButton5->setText(tr("Очистить"));
    ToolButton1->setText(tr("Очистить"));
    DescribeToolButton(ToolBar1, StartBtnTool,
                       tr("Панель инструментов: начать передачу (Ctrl+Enter)"));
    DescribeToolButton(ToolBar1, PauseBtnTool,
                       tr("Панель инструментов: пауза или продолжение (Ctrl+P)"));
    DescribeToolButton(findChild<QToolBar*>(QLatin1String("ToolBar2")), ToolButton5,
                       tr("Очистить окно контроля"));
    DescribeToolButton(findChild<QToolBar*>(QLatin1String("ToolBar3")), ToolButton1,
                       tr("Очистить текст для передачи"));

    PageControl2->setTabText(0, tr(" Генератор кода"));
    NameTabsForListeners(PageControl2);
    TextWin->setAccessibleName(tr("Принятый текст"));
    StartBtn->setText(tr("&Пуск"));
    StartBtn->setAccessibleDescription(tr("Начать передачу (Ctrl+Enter)"));
    PauseBtn->setAccessibleDescription(tr("Пауза или продолжение (Ctrl+P)"));
    ShowPauseCaption();

    PageControl1->setTabText(0, tr(" Настройки "));
    PageControl1->setTabText(1, tr("Окно контроля"));
    PageControl1->setTabText(2, tr("Ввод"));
    PageControl1->setTabText(3, tr("Урок"));
    PageControl1->setTabText(4, tr("Эфир"));
    NameTabsForListeners(PageControl1);
    // The sliders' names carry the unit their value is spoken in.
    SetGroupCaption(SpeedGroup, tr(" Скорость (гр.)"));
    SpeedTrackBar->setAccessibleName(tr("Скорость, гр./мин."));
    SetGroupCaption(SpacingGroup, tr(" Паузы "));
    SpacingTrackBar->setAccessibleName(tr("Паузы"));
    SpacingNormalLabel->setText(tr("Станд."));
    SpacingLongLabel->setText(tr("Длин."));
    SetGroupCaption(PitchGroup, tr("Тон (Гц)"));
    PitchTrackBar->setAccessibleName(tr("Тон, Гц"));
    SetGroupCaption(VolumeGroup, tr(" Громкость "));
    VolTrackBar->setAccessibleName(tr("Громкость"));
    SetGroupCaption(TextTypeGroup, tr(" Генерируемый текст "));
    const QString captions[] = {
        tr("Цифры"),      tr("Буквы"), tr("Текст из файла"), tr("Набор с клавиатуры"),
        tr("Радиообмен"), tr("Урок"),  tr("Слабые знаки"),   tr("Латинские буквы")};
    static_assert(std::size(captions) == limits::kTextTypeLast + 1);
    for (int index = 0; index <= limits::kTextTypeLast; ++index) {
        TextType->button(index)->setText(captions[index]);
    }
    TextFileBtn->setAccessibleName(tr("Выбрать файл"));
    TextFileBtn->setToolTip(tr("Открыть файл"));
    CheckBox1->setText(tr("Показывать текст"));
    SetGroupCaption(NoiseGroup, tr(" Шумы "));
    CheckBox2->setText(tr("Гауссовский"));
    CheckBox3->setText(tr("Тональный"));
    ScrollBar1->setAccessibleName(tr("Уровень шумов"));
    Memo1->setAccessibleName(tr("Окно контроля"));
    Memo2->setAccessibleName(tr("Текст для передачи"));

    statusBar()->setAccessibleName(tr("Строка состояния"));
    StatusText->setText(status_ ? Wording::Status(*status_)
                                : tr("Тренажер для изучения азбуки морзе"));
    ShowTimingHints();
    ShowCaption();
    ShowToneHints();
    RussianItem->setChecked(language_ == Language::Russian);
    EnglishItem->setChecked(language_ == Language::English);
}

// Keyboard order follows the reading order: the upper area, then the tab bar and each tab's
// controls from left to right, then the status bar.
void TMorseMain::SetTabOrder() {
    std::vector<QWidget*> order;
    auto addToolButtons = [&order](QToolBar* bar) {
        for (QAction* action : bar->actions()) {
            if (QWidget* button = bar->widgetForAction(action); button && !action->isSeparator()) {
                button->setFocusPolicy(Qt::TabFocus);
                order.push_back(button);
            }
        }
    };
    addToolButtons(ToolBar1);
    order.insert(order.end(),
                 {TextWin, StartBtn, PauseBtn, static_cast<QWidget*>(PageControl1->tabBar()),
                  SpeedTrackBar, SpacingTrackBar});
    for (QAbstractButton* button : TextType->buttons()) {
        order.push_back(button);
        if (TextType->id(button) == static_cast<int>(vantrel::TextType::File)) {
            order.push_back(TextFileBtn);
        }
    }
    order.insert(order.end(),
                 {CheckBox1, PitchTrackBar, VolTrackBar, CheckBox2, CheckBox3, ScrollBar1});
    addToolButtons(findChild<QToolBar*>(QLatin1String("ToolBar2")));
    order.insert(order.end(), {Memo1, progress_->ComparisonView()->Comparison(),
                               progress_->ComparisonView()->Summary()});
    addToolButtons(findChild<QToolBar*>(QLatin1String("ToolBar3")));
    order.push_back(Memo2);
    for (QWidget* control : lessonTab_->TabOrder()) {
        order.push_back(control);
    }
    for (QWidget* control : bandTab_->TabOrder()) {
        order.push_back(control);
    }
    order.push_back(StatusText);
    ChainTabOrder(order);
    firstInTabOrder_ = order.front();
}

// The first control that Tab can reach now: the order's first one, unless it is disabled.
QWidget* TMorseMain::FirstTabStop() const {
    QWidget* stop = firstInTabOrder_;
    while (stop != StatusText &&
           !(stop->isEnabled() && stop->isVisible() && (stop->focusPolicy() & Qt::TabFocus) != 0)) {
        stop = stop->nextInFocusChain();
    }
    return stop;
}

// Tab goes round from the status bar to the top, and Shift+Tab back.
bool TMorseMain::focusNextPrevChild(bool next) {
    QWidget* focus = focusWidget();
    if (next && focus == StatusText) {
        FirstTabStop()->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (!next && focus == FirstTabStop()) {
        StatusText->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    return QMainWindow::focusNextPrevChild(next);
}

// Lets the window take the size its content needs with the desktop's fonts, at least the design
// size, and keeps it fixed from then on.
void TMorseMain::FixWindowSize() {
    // The controls got their texts before they were shown, which the layouts have not heard of:
    // every size they keep is measured again.
    for (QWidget* control : findChildren<QWidget*>()) {
        control->updateGeometry();
    }
    for (QLayout* layout : findChildren<QLayout*>()) {
        layout->invalidate();
    }
    // Measured with the text window and the lower tabs at their design heights.
    const int lowerHeight = std::max(kLowerTabsHeight, PageControl1->minimumSizeHint().height());
    PageControl1->setFixedHeight(lowerHeight);
    TextWin->setFixedHeight(kTextWinHeight);
    QSize size = sizeHint().expandedTo(minimumSizeHint());
    const int chrome = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    size = size.expandedTo(QSize(kDesignClientWidth, kDesignClientHeight + chrome));
    setFixedSize(size);
    setWindowFlags((windowFlags() & ~Qt::WindowMaximizeButtonHint) | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    // From here on the splitter moves the border, and the text window takes what it is given.
    PageControl1->setMinimumHeight(PageControl1->minimumSizeHint().height());
    PageControl1->setMaximumHeight(QWIDGETSIZE_MAX);
    TextWin->setMinimumHeight(kTextWinMinimumHeight);
    TextWin->setMaximumHeight(QWIDGETSIZE_MAX);
    Splitter1->setSizes(
        {size.height() - chrome - Splitter1->handleWidth() - lowerHeight, lowerHeight});
}

// After a change of language: wider when the new texts need it, never narrower than the design,
// the height and the splitter as the learner left them.
void TMorseMain::FitWidthToTexts() {
    const int width = std::max({kDesignClientWidth, sizeHint().width(), minimumSizeHint().width()});
    if (width != this->width()) {
        setFixedWidth(width);
    }
}

}  // namespace vantrel
