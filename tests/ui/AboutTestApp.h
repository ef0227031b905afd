// A QApplication for the tests of one suite, on the headless platform unless another is set.
#pragma once

#include <QApplication>
#include <memory>

namespace vantrel::testing {

class AboutTestApp {
  public:
    AboutTestApp() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }

  private:
    int argc_ = 1;
    char name_[8] = "vantrel";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

}  // namespace vantrel::testing
