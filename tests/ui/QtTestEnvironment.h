// A QApplication on the offscreen platform (unless another is chosen) for the whole run of a
// GoogleTest program: register it once per test program with
//   const auto* const kQtEnvironment =
//       ::testing::AddGlobalTestEnvironment(new vantrel::test::QtEnvironment("name"));
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

namespace vantrel::test {

class QtEnvironment : public ::testing::Environment {
  public:
    explicit QtEnvironment(std::string name) : name_(std::move(name)) {}

    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        argv_[0] = name_.data();
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::string name_;  // QApplication keeps argv for its whole life
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> app_;
};

}  // namespace vantrel::test
