#include "window/BandTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
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
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

BandTab::BandTab(TrainerSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QLatin1String("BandSheet"));
    BandBox = Named(new QCheckBox, "BandBox");
    ProfileBox = Named(new QComboBox, "BandProfileBox");
    ProfileBox->addItems(QList<QString>(band::kProfileCount));
    SnrBar = MakeSlider("BandSnrBar", band::kSnrMinDb, band::kSnrMaxDb);
    FadingBox = Named(new QComboBox, "BandFadingBox");
    FadingBox->addItems(QList<QString>(band::kFadingKindCount));
    DepthBar = MakeSlider("BandDepthBar", band::kDepthMin, band::kDepthMax);
    StaticBar = MakeSlider("BandStaticBar", band::kStaticMin, band::kStaticMax);
    StationsSpin = Named(new QSpinBox, "BandStationsSpin");
    StationsSpin->setRange(band::kStationsMin, band::kStationsMax);
    FilterBox = Named(new QComboBox, "BandFilterBox");
    FilterBox->addItems(QList<QString>(band::kBandwidthCount));
    AgcBox = Named(new QCheckBox, "BandAgcBox");

    // Two columns: on/off, profile, SNR, fading and depth; static, stations, filter and AGC.
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    left->addRow(BandBox);
    const std::vector<QWidget*> fields = {ProfileBox, SnrBar,       FadingBox, DepthBar,
                                          StaticBar,  StationsSpin, FilterBox};
    for (QWidget* field : fields) {
        auto* label = new QLabel;
        label->setBuddy(field);
        labels_.push_back(label);
        QFormLayout* form =
            field == StaticBar || field == StationsSpin || field == FilterBox ? right : left;
        if (auto* bar = qobject_cast<QSlider*>(field)) {
            auto* row = new QHBoxLayout;
            auto* shown = new QLabel;
            shown->setMinimumWidth(
                shown->fontMetrics().horizontalAdvance(QStringLiteral("-10 dB")) + 8);
            shown_.push_back(shown);
            row->addWidget(bar);
            row->addWidget(shown);
            form->addRow(label, row);
        } else {
            form->addRow(label, field);
        }
    }
    right->addRow(AgcBox);
    auto* layout = new QHBoxLayout(this);
    for (QFormLayout* form : {left, right}) {
        form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        layout->addLayout(form);
    }
    layout->addStretch(1);

    ChainTabOrder(TabOrder());

    RetranslateUi();
    ShowSettings();
    connect(BandBox, &QCheckBox::toggled, this, &BandTab::Change);
    connect(AgcBox, &QCheckBox::toggled, this, &BandTab::Change);
    for (QComboBox* box : Choices()) {
        connect(box, &QComboBox::currentIndexChanged, this, &BandTab::Change);
    }
    for (QSlider* bar : Sliders()) {
        connect(bar, &QSlider::valueChanged, this, &BandTab::Change);
    }
    connect(StationsSpin, &QSpinBox::valueChanged, this, &BandTab::Change);
}

QSlider* BandTab::MakeSlider(const char* name, int min, int max) {
    auto* bar = new QSlider(Qt::Horizontal);
    AccessibleSlider::Install(bar, {min, max, 1});
    Named(bar, name);
    bar->setRange(min, max);
    bar->setSingleStep(1);
    bar->setPageStep(max - min > 50 ? 10 : 5);
    bar->setMinimumWidth(160);
    return bar;
}

void BandTab::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        ShowSettings();
    }
    QWidget::changeEvent(event);
}

void BandTab::RetranslateUi() {
    BandBox->setText(tr("Условия &эфира"));
    BandBox->setAccessibleName(tr("Условия эфира"));
    BandBox->setAccessibleDescription(
        tr("Замирания, шум, треск и другие станции в принимаемом сигнале"));
    const QString profiles[] = {tr("Чистый эфир"), tr("Замирания"),       tr("Летний вечер"),
                                tr("Контест"),     tr("Полярное сияние"), tr("Свой")};
    for (int index = 0; index < band::kProfileCount; ++index) {
        ProfileBox->setItemText(index, profiles[index]);
    }
    ProfileBox->setToolTip(
        tr("Профиль задаёт все условия сразу; изменённое условие делает профиль своим"));
    const QString fadings[] = {tr("Нет"), tr("Медленные"), tr("Обычные"), tr("Флаттер")};
    for (int index = 0; index < band::kFadingKindCount; ++index) {
        FadingBox->setItemText(index, fadings[index]);
    }
    for (int index = 0; index < band::kBandwidthCount; ++index) {
        FilterBox->setItemText(index, tr("%1 Гц").arg(band::kBandwidthsHz[index]));
    }
    AgcBox->setText(tr("&АРУ"));
    AgcBox->setAccessibleName(tr("АРУ"));
    AgcBox->setAccessibleDescription(tr("Автоматическая регулировка усиления приёмника"));

    // The labels of the form with their access keys, and the names of the controls.
    const std::pair<QString, QString> named[] = {
        {tr("П&рофиль:"), tr("Профиль")},
        {tr("Сигнал/&шум:"), tr("Сигнал/шум")},
        {tr("&Замирания:"), tr("Замирания")},
        {tr("&Глубина замираний:"), tr("Глубина замираний")},
        {tr("&Треск:"), tr("Треск")},
        {tr("&Мешающие станции:"), tr("Мешающие станции")},
        {tr("П&олоса приёмника:"), tr("Полоса приёмника")}};
    for (std::size_t index = 0; index < labels_.size(); ++index) {
        labels_[index]->setText(named[index].first);
        labels_[index]->buddy()->setAccessibleName(named[index].second);
    }
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
    const std::vector<QSlider*> bars = Sliders();
    for (std::size_t index = 0; index < bars.size(); ++index) {
        const int value = bars[index]->value();
        const QString hint = bars[index] == SnrBar ? tr("%1 дБ").arg(value) : tr("%1 %").arg(value);
        SetToolTipAndDescription(bars[index], hint);
        shown_[index]->setText(hint);
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
