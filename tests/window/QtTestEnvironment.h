// The Qt application on the offscreen platform (unless another is chosen) for the whole run of
// a test program, speaking Russian as at a first start, and message boxes recorded (questions
// answered yes).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "window/MessagePresenter.h"
#include "window/Translations.h"

// Failure messages show texts, not UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace vantrel::test {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
        translations::Use(Language::Russian);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[8] = "vantrel";  // QApplication keeps argv for its whole life
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Each box as "message: text", "warning: text" or "error: text"; questions apart.
class RecordingPresenter : public MessagePresenter {
  public:
    void ShowMessage(const std::string& text) override { boxes.push_back("message: " + text); }
    void ShowWarning(const std::string& text) override { boxes.push_back("warning: " + text); }
    void ShowError(const std::string& text) override { boxes.push_back("error: " + text); }
    void Confirm(const std::string& question, std::function<void()> onYes) override {
        questions.push_back(question);
        onYes();
    }
    std::vector<std::string> boxes;
    std::vector<std::string> questions;
};

}  // namespace vantrel::test
