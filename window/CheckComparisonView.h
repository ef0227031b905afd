// The check tab's comparison: the sent text and the copy one above the other, aligned
// character by character, every error marked in colour, underlined and flagged with "^" in a
// row of its own; below it the summary line. A screen reader gets both texts and the list of
// errors as the view's accessible description.
#pragma once

#include <QWidget>
#include <optional>

#include "progress/CheckComparison.h"

class QLabel;
class QTextEdit;

namespace vantrel {

class CheckComparisonView : public QWidget {
    Q_OBJECT
  public:
    // Hidden until the first check.
    explicit CheckComparisonView(QWidget* parent = nullptr);

    void Show(const progress::CheckComparison& comparison);

    QTextEdit* Comparison() const { return comparison_; }
    QLabel* Summary() const { return summary_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void RetranslateUi();
    // Shows shown_ in the interface's language.
    void Render();

    std::optional<progress::CheckComparison> shown_;
    QTextEdit* comparison_;
    QLabel* summary_;
};

// What the accessible description says: "Передано: …\nПринято: …\nОшибки: …".
QString DescribeComparison(const progress::Alignment& alignment);

}  // namespace vantrel
