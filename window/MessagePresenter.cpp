#include "window/MessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace vantrel {
namespace {

// Modal to the window without a local event loop: the caller goes on at once, and the box
// deletes itself when it is closed.
void ShowBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text) {
    auto* box = new QMessageBox(icon, QApplication::applicationDisplayName(),
                                QString::fromStdString(text), QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent == nullptr) {
        box->setWindowModality(Qt::ApplicationModal);
    }
    box->open();
}

}  // namespace

void QtMessagePresenter::ShowMessage(const std::string& text) {
    ShowBox(parent_, QMessageBox::NoIcon, text);
}

void QtMessagePresenter::ShowWarning(const std::string& text) {
    ShowBox(parent_, QMessageBox::Warning, text);
}

void QtMessagePresenter::ShowError(const std::string& text) {
    ShowBox(parent_, QMessageBox::Critical, text);
}

void QtMessagePresenter::Confirm(const std::string& question, std::function<void()> onYes) {
    auto* box = new QMessageBox(QMessageBox::Question, QApplication::applicationDisplayName(),
                                QString::fromStdString(question),
                                QMessageBox::Yes | QMessageBox::No, parent_);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, onYes = std::move(onYes)] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes) {
            onYes();
        }
    });
    box->open();
}

}  // namespace vantrel
