#include "window/CheckComparisonView.h"

#include <QAccessible>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "support/Cp1251.h"
#include "window/Wording.h"

namespace vantrel {
namespace {

// Aligned characters per row.
constexpr int kColumns = 40;
// Errors listed one by one in the accessible description; the rest are counted.
constexpr int kDescribedErrors = 40;
const QColor kErrorColour(0xC0, 0x00, 0x00);

QString Char(char cp1251) {
    if (cp1251 == 0) {
        return QStringLiteral("_");
    }
    if (cp1251 == '\n' || cp1251 == '\r') {
        return QStringLiteral("¶");
    }
    return QString::fromStdString(cp1251::ToUtf8(std::string(1, cp1251)));
}

// An error as the learner's statistics count it: blanks and line breaks alone are none.
bool IsCountedError(const progress::AlignedPair& pair) {
    const bool keyed = (pair.sent != 0 && !progress::IsSeparator(pair.sent)) ||
                       (pair.copied != 0 && !progress::IsSeparator(pair.copied));
    return keyed && !pair.IsRight();
}

QString Readable(char cp1251) {
    if (cp1251 == 0 || progress::IsSeparator(cp1251)) {
        return CheckComparisonView::tr("пробел");
    }
    return Char(cp1251);
}

QString PlainText(const progress::Alignment& alignment, bool sent) {
    QString text;
    for (const progress::AlignedPair& pair : alignment.pairs) {
        const char c = sent ? pair.sent : pair.copied;
        if (c != 0) {
            text += progress::IsSeparator(c) ? QStringLiteral(" ") : Char(c);
        }
    }
    return text.simplified();
}

}  // namespace

QString DescribeComparison(const progress::Alignment& alignment) {
    QStringList errors;
    int errorCount = 0;
    int position = 0;  // of the last sent character
    for (const progress::AlignedPair& pair : alignment.pairs) {
        position += pair.sent != 0 ? 1 : 0;
        if (!IsCountedError(pair)) {
            continue;
        }
        if (++errorCount > kDescribedErrors) {
            continue;
        }
        if (pair.IsExtra() || (pair.copied != 0 && progress::IsSeparator(pair.sent))) {
            errors << CheckComparisonView::tr("после знака %1 лишнее %2")
                          .arg(position)
                          .arg(Readable(pair.copied));
        } else if (pair.IsMissed() || progress::IsSeparator(pair.copied)) {
            errors << CheckComparisonView::tr("знак %1: передано %2, пропущено")
                          .arg(position)
                          .arg(Readable(pair.sent));
        } else {
            errors << CheckComparisonView::tr("знак %1: передано %2, принято %3")
                          .arg(position)
                          .arg(Readable(pair.sent), Readable(pair.copied));
        }
    }
    if (errorCount > kDescribedErrors) {
        errors << CheckComparisonView::tr("и ещё %1").arg(errorCount - kDescribedErrors);
    }
    return CheckComparisonView::tr("Передано: %1\nПринято: %2\n%3")
        .arg(PlainText(alignment, true), PlainText(alignment, false),
             errors.isEmpty()
                 ? CheckComparisonView::tr("Ошибок нет")
                 : CheckComparisonView::tr("Ошибки: %1").arg(errors.join(QStringLiteral("; "))));
}

CheckComparisonView::CheckComparisonView(QWidget* parent)
    : QWidget(parent), comparison_(new QTextEdit), summary_(new QLabel) {
    setObjectName(QLatin1String("CheckComparisonView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    comparison_->setObjectName(QLatin1String("CheckComparison"));
    comparison_->setReadOnly(true);
    comparison_->setUndoRedoEnabled(false);
    comparison_->setLineWrapMode(QTextEdit::NoWrap);
    comparison_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    comparison_->setFocusPolicy(Qt::StrongFocus);
    comparison_->setTabChangesFocus(true);
    comparison_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(comparison_, 1);

    summary_->setObjectName(QLatin1String("CheckSummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    summary_->setFocusPolicy(Qt::TabFocus);
    layout->addWidget(summary_);
    RetranslateUi();
    setVisible(false);
}

void CheckComparisonView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        if (shown_) {
            Render();
        }
    }
    QWidget::changeEvent(event);
}

void CheckComparisonView::RetranslateUi() {
    comparison_->setAccessibleName(tr("Сравнение копии с переданным текстом"));
    summary_->setAccessibleName(tr("Итог сравнения"));
}

void CheckComparisonView::Show(const progress::CheckComparison& comparison) {
    shown_ = comparison;
    Render();
    setVisible(true);
    QAccessibleEvent changed(summary_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void CheckComparisonView::Render() {
    const progress::CheckComparison& comparison = *shown_;
    QTextCharFormat plain;
    QTextCharFormat error;
    error.setForeground(kErrorColour);
    error.setFontUnderline(true);
    error.setFontWeight(QFont::Bold);
    QTextCharFormat mark = error;
    mark.setFontUnderline(false);

    comparison_->clear();
    QTextCursor cursor(comparison_->document());
    // The row labels padded to one width, so that the rows line up.
    QString labels[] = {tr("Передано"), tr("Принято"), QString()};
    const qsizetype width = std::max(labels[0].size(), labels[1].size()) + 1;
    for (QString& label : labels) {
        label = label.leftJustified(width);
    }
    const std::vector<progress::AlignedPair>& pairs = comparison.alignment.pairs;
    for (std::size_t row = 0; row < pairs.size(); row += kColumns) {
        const std::size_t end = std::min(pairs.size(), row + kColumns);
        for (int line = 0; line < 3; ++line) {
            cursor.insertText(labels[line], plain);
            for (std::size_t i = row; i < end; ++i) {
                const bool wrong = IsCountedError(pairs[i]);
                const QString text = line == 0   ? Char(pairs[i].sent)
                                     : line == 1 ? Char(pairs[i].copied)
                                                 : QString(wrong ? QChar('^') : QChar(' '));
                cursor.insertText(text, !wrong ? plain : line == 2 ? mark : error);
            }
            cursor.insertText(QStringLiteral("\n"), plain);
        }
    }
    comparison_->moveCursor(QTextCursor::Start);
    comparison_->setAccessibleDescription(DescribeComparison(comparison.alignment));
    summary_->setText(Wording::Summary(comparison.pairs));
}

}  // namespace vantrel
