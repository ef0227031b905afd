#include "window/BandTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include "band/BandLimits.h"
#include "window/AccessibleSlider.h"
#include "window/Widgets.h"

namespace vantrel {

namespace {

template <typename T>
T* Named(T* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

// A form row whose label's mnemonic moves the focus to `field`.
void AddRow(QFormLayout* form, const QString& caption, QWidget* field, QLayout* row = nullptr) {
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    if (row != nullptr) {
        form->addRow(label, row);
    } else {
        form->addRow(label, field);
    }
}

}  // namespace

BandTab::BandTab(TrainerSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QLatin1String("BandSheet"));
    BandBox = Named(new QCheckBox(tr("Условия &эфира")), "BandBox", tr("Условия эфира"));
    BandBox->setAccessibleDescription(
        tr("Замирания, шум, треск и другие станции в принимаемом сигнале"));

    ProfileBox = Named(new QComboBox, "BandProfileBox", tr("Профиль"));
    ProfileBox->addItems({tr("Чистый эфир"), tr("Замирания"), tr("Летний вечер"), tr("Контест"),
                          tr("Полярное сияние"), tr("Свой")});
    ProfileBox->setToolTip(
        tr("Профиль задаёт все условия сразу; изменённое условие делает профиль своим"));

    SnrBar =
        MakeSlider("BandSnrBar", tr("Сигнал/шум"), band::kSnrMinDb, band::kSnrMaxDb, snrShown_);
    FadingBox = Named(new QComboBox, "BandFadingBox", tr("Замирания"));
    FadingBox->addItems({tr("Нет"), tr("Медленные"), tr("Обычные"), tr("Флаттер")});
    DepthBar = MakeSlider("BandDepthBar", tr("Глубина замираний"), band::kDepthMin, band::kDepthMax,
                          depthShown_);
    StaticBar =
        MakeSlider("BandStaticBar", tr("Треск"), band::kStaticMin, band::kStaticMax, staticShown_);
    StationsSpin = Named(new QSpinBox, "BandStationsSpin", tr("Мешающие станции"));
    StationsSpin->setRange(band::kStationsMin, band::kStationsMax);
    FilterBox = Named(new QComboBox, "BandFilterBox", tr("Полоса приёмника"));
    for (int hz : band::kBandwidthsHz) {
        FilterBox->addItem(tr("%1 Гц").arg(hz));
    }
    AgcBox = Named(new QCheckBox(tr("&АРУ")), "BandAgcBox", tr("АРУ"));
    AgcBox->setAccessibleDescription(tr("Автоматическая регулировка усиления приёмника"));

    auto* left = new QFormLayout;
    left->addRow(BandBox);
    AddRow(left, tr("П&рофиль:"), ProfileBox);
    auto* snrRow = new QHBoxLayout;
    snrRow->addWidget(SnrBar);
    snrRow->addWidget(snrShown_);
    AddRow(left, tr("Сигнал/&шум:"), SnrBar, snrRow);
    AddRow(left, tr("&Замирания:"), FadingBox);
    auto* depthRow = new QHBoxLayout;
    depthRow->addWidget(DepthBar);
    depthRow->addWidget(depthShown_);
    AddRow(left, tr("&Глубина замираний:"), DepthBar, depthRow);

    auto* right = new QFormLayout;
    auto* staticRow = new QHBoxLayout;
    staticRow->addWidget(StaticBar);
    staticRow->addWidget(staticShown_);
    AddRow(right, tr("&Треск:"), StaticBar, staticRow);
    AddRow(right, tr("&Мешающие станции:"), StationsSpin);
    AddRow(right, tr("П&олоса приёмника:"), FilterBox);
    right->addRow(AgcBox);

    auto* layout = new QHBoxLayout(this);
    for (QFormLayout* form : {left, right}) {
        form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        layout->addLayout(form);
    }
    layout->addStretch(1);

    const std::vector<QWidget*> order = TabOrder();
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    ShowSettings();
    connect(BandBox, &QCheckBox::toggled, this, &BandTab::Change);
    connect(AgcBox, &QCheckBox::toggled, this, &BandTab::Change);
    for (QComboBox* box : {ProfileBox, FadingBox, FilterBox}) {
        connect(box, &QComboBox::currentIndexChanged, this, &BandTab::Change);
    }
    for (QSlider* bar : Sliders()) {
        connect(bar, &QSlider::valueChanged, this, &BandTab::Change);
    }
    connect(StationsSpin, &QSpinBox::valueChanged, this, &BandTab::Change);
}

QSlider* BandTab::MakeSlider(const char* name, const QString& spokenName, int min, int max,
                             QLabel*& shown) {
    auto* bar = new QSlider(Qt::Horizontal);
    AccessibleSlider::Install(bar, {min, max, 1});
    Named(bar, name, spokenName);
    bar->setRange(min, max);
    bar->setSingleStep(1);
    bar->setPageStep(max - min > 50 ? 10 : 5);
    bar->setMinimumWidth(160);
    shown = new QLabel;
    shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(QStringLiteral("-10 дБ")) + 4);
    return bar;
}

std::vector<QWidget*> BandTab::TabOrder() const {
    return {BandBox,   ProfileBox,   SnrBar,    FadingBox, DepthBar,
            StaticBar, StationsSpin, FilterBox, AgcBox};
}

std::vector<QSlider*> BandTab::Sliders() const {
    return {SnrBar, DepthBar, StaticBar};
}

std::vector<QComboBox*> BandTab::Choices() const {
    return {ProfileBox, FadingBox, FilterBox};
}

void BandTab::ShowSettings() {
    const band::BandSettings s = session_.BandConditions();
    {
        const QSignalBlocker blockers[] = {
            QSignalBlocker(BandBox),   QSignalBlocker(ProfileBox),   QSignalBlocker(SnrBar),
            QSignalBlocker(FadingBox), QSignalBlocker(DepthBar),     QSignalBlocker(StaticBar),
            QSignalBlocker(AgcBox),    QSignalBlocker(StationsSpin), QSignalBlocker(FilterBox)};
        BandBox->setChecked(s.enabled);
        ProfileBox->setCurrentIndex(static_cast<int>(s.profile));
        SnrBar->setValue(s.snrDb);
        FadingBox->setCurrentIndex(static_cast<int>(s.fading));
        DepthBar->setValue(s.depthPercent);
        StaticBar->setValue(s.staticPercent);
        StationsSpin->setValue(s.stations);
        FilterBox->setCurrentIndex(static_cast<int>(s.bandwidth));
        AgcBox->setChecked(s.agc);
    }
    // The combo boxes carry their choices as their descriptions (SpeakChoices), which the
    // blocked signals have not updated.
    for (QComboBox* box : Choices()) {
        box->setAccessibleDescription(box->currentText());
    }
    // The values in their units, shown beside the sliders and read as their values.
    const std::pair<QSlider*, QLabel*> shown[] = {
        {SnrBar, snrShown_}, {DepthBar, depthShown_}, {StaticBar, staticShown_}};
    for (const auto& [bar, label] : shown) {
        const QString hint =
            bar == SnrBar ? tr("%1 дБ").arg(bar->value()) : tr("%1 %").arg(bar->value());
        SetToolTipAndDescription(bar, hint);
        label->setText(hint);
    }
}

band::BandSettings BandTab::Shown() const {
    return {BandBox->isChecked(),  static_cast<band::Profile>(ProfileBox->currentIndex()),
            SnrBar->value(),       static_cast<band::FadingKind>(FadingBox->currentIndex()),
            DepthBar->value(),     StaticBar->value(),
            StationsSpin->value(), static_cast<band::Bandwidth>(FilterBox->currentIndex()),
            AgcBox->isChecked()};
}

void BandTab::Change() {
    session_.SetBandConditions(Shown());
    ShowSettings();
}

}  // namespace vantrel
