// Small pieces the windows are built from: text conversions between the core's Windows-1251 and
// Qt, file paths from dialogs, and controls set up the way every window of the trainer wants
// them (names for screen readers, keyboard behaviour).
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "trainer/TrackBarHints.h"

class QAction;
class QGroupBox;
class QLabel;
class QObject;
class QSlider;
class QTabWidget;
class QToolBar;
class QWidget;

namespace vantrel {

inline QString Qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Accessible name of a control from its caption: without the mnemonic marker and edge blanks.
QString AccessibleCaption(QString caption);

// Windows-1251 text with CR LF line breaks as the text widgets hold it (one '\n' per break).
QString ToWidgetText(std::string_view cp1251);
// Windows-1251 text of a text widget, its line breaks as CR LF.
std::string FromWidgetText(QString text);
// Offset in the widget's text of byte offset `offset` of `cp1251`, whose CR LF pairs the widget
// holds as one line break.
int WidgetOffset(std::string_view cp1251, int offset);

// A file dialog's answer as a path, and back.
std::filesystem::path PathFromDialog(const QString& file);
QString DialogPath(const std::filesystem::path& path);

// A vertical track bar with the minimum at the top (Up moves towards it), one step per key, and
// `value` shown until its handler gives it its hint.
QSlider* MakeTrackBar(const char* name, SpokenScale scale, int value, int tickInterval);
// A group with the track bar and optional labels (null for none) at its top and bottom end.
QGroupBox* MakeTrackBarGroup(QSlider* bar, QLabel* topLabel, QLabel* bottomLabel);
// The group's title, which also names it for screen readers.
void SetGroupCaption(QGroupBox* group, const QString& caption);
QToolBar* MakeToolBar(const char* name);
QAction* MakeAction(QObject* owner, const char* name, int image);
// Screen readers get the tab captions without their edge blanks.
void NameTabsForListeners(QTabWidget* tabs);
// Tells screen readers apart the tool button of `action` from its twins with the same caption.
void DescribeToolButton(QToolBar* bar, QAction* action, const QString& description);
void SetToolTipAndDescription(QWidget* widget, const QString& hint);
// Tab walks the widgets in the order given.
void ChainTabOrder(const std::vector<QWidget*>& order);

}  // namespace vantrel
