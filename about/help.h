// The about window: what the program is for, its version and where it keeps its settings.
// Created once at start-up and shown modally from the main window as often as asked.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vantrel {

class TForm1 : public QDialog {
    Q_OBJECT

  public:
    // The window's fixed size; the window manager draws its frame around it.
    static constexpr int kWidth = 367;
    static constexpr int kHeight = 239;

    // `settingsLocation` is shown as where the settings live; empty for the user's default.
    explicit TForm1(QWidget* parent = nullptr, const QString& settingsLocation = {});

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Button1 = nullptr;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void RetranslateUi();
    void Button1Click();
    void DrawPicture();
    void UseLightBackground();

    QString shownLocation_;
};

}  // namespace vantrel
