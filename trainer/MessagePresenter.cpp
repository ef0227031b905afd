#include "trainer/MessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace vantrel {
namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, QApplication::applicationDisplayName(), QString::fromStdString(text),
                    QMessageBox::Ok, parent);
    box.exec();
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

}  // namespace vantrel
