// Message boxes of the trainer window behind an interface, so tests see the texts instead of
// blocking on a modal box. Texts are UTF-8.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace vantrel {

class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    // A plain box with only an OK button and no icon.
    virtual void ShowMessage(const std::string& text) = 0;
    // A warning box with an OK button.
    virtual void ShowWarning(const std::string& text) = 0;
    // The application's standard error box, for failures of files and the system.
    virtual void ShowError(const std::string& text) = 0;
    // Asks a yes/no question and runs `onYes` once the learner has agreed; returns at once.
    // A presenter that cannot ask never agrees.
    virtual void Confirm(const std::string& question, std::function<void()> onYes) {
        (void)question;
        (void)onYes;
    }
};

// QMessageBox boxes modal to `parent`, titled with the application's name. Each call returns at
// once; the box stays until the learner closes it.
class QtMessagePresenter : public MessagePresenter {
  public:
    explicit QtMessagePresenter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowError(const std::string& text) override;
    // A window-modal question box with Yes and No (No by default).
    void Confirm(const std::string& question, std::function<void()> onYes) override;

  private:
    QWidget* parent_;
};

}  // namespace vantrel
