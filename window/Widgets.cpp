#include "window/Widgets.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

#include "about/ProgramIcons.h"
#include "support/Cp1251.h"
#include "window/AccessibleSlider.h"

namespace vantrel {

namespace {

// The hint that the track bars carry until their handlers have run.
const char kDesignHint[] = "12 wpm";

}  // namespace

QString AccessibleCaption(QString caption) {
    return caption.remove(QLatin1Char('&')).trimmed();
}

QString ToWidgetText(std::string_view cp1251) {
    QString text = Qs(cp1251::ToUtf8(cp1251));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string FromWidgetText(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return cp1251::FromUtf8(text.toStdString());
}

int WidgetOffset(std::string_view cp1251, int offset) {
    int widgetOffset = offset;
    for (int i = 1; i < offset && i < static_cast<int>(cp1251.size()); ++i) {
        if (cp1251[i] == '\n' && cp1251[i - 1] == '\r') {
            --widgetOffset;
        }
    }
    return widgetOffset;
}

std::filesystem::path PathFromDialog(const QString& file) {
    return std::filesystem::path(file.toStdU16String());
}

QString DialogPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

QSlider* MakeTrackBar(const char* name, SpokenScale scale, int value, int tickInterval) {
    auto* bar = new QSlider(Qt::Vertical);
    AccessibleSlider::Install(bar, scale);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(scale.positionMin, scale.positionMax);
    bar->setValue(value);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksRight);
    bar->setTickInterval(tickInterval);
    // The minimum stands at the top, and Up moves towards it.
    bar->setInvertedAppearance(true);
    bar->setInvertedControls(true);
    bar->setToolTip(QLatin1String(kDesignHint));
    bar->setMinimumHeight(110);
    return bar;
}

QGroupBox* MakeTrackBarGroup(QSlider* bar, QLabel* topLabel, QLabel* bottomLabel) {
    auto* group = new QGroupBox;
    auto* grid = new QGridLayout(group);
    grid->addWidget(bar, 0, 0, 3, 1, Qt::AlignHCenter);
    if (topLabel != nullptr) {
        grid->addWidget(topLabel, 0, 1, Qt::AlignTop | Qt::AlignLeft);
    }
    if (bottomLabel != nullptr) {
        grid->addWidget(bottomLabel, 2, 1, Qt::AlignBottom | Qt::AlignLeft);
    }
    grid->setRowStretch(1, 1);
    return group;
}

void SetGroupCaption(QGroupBox* group, const QString& caption) {
    group->setTitle(caption);
    group->setAccessibleName(AccessibleCaption(caption));
}

QToolBar* MakeToolBar(const char* name) {
    auto* bar = new QToolBar;
    bar->setObjectName(QLatin1String(name));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    return bar;
}

QAction* MakeAction(QObject* owner, const char* name, int image) {
    auto* action = new QAction(ToolIcon(image), QString(), owner);
    action->setObjectName(QLatin1String(name));
    return action;
}

void ChainTabOrder(const std::vector<QWidget*>& order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void NameTabsForListeners(QTabWidget* tabs) {
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->tabBar()->setAccessibleTabName(index, AccessibleCaption(tabs->tabText(index)));
    }
}

void DescribeToolButton(QToolBar* bar, QAction* action, const QString& description) {
    bar->widgetForAction(action)->setAccessibleDescription(description);
}

void SetToolTipAndDescription(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setAccessibleDescription(hint);
}

}  // namespace vantrel
