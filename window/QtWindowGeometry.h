// Lets the settings routines read and place a Qt top-level window. Positions and sizes are of
// the outer frame, as the stored window record holds them.
#pragma once

#include "support/Settings.h"

class QWidget;

namespace vantrel {

class QtWindowGeometry : public WindowGeometry {
  public:
    explicit QtWindowGeometry(QWidget& window) : window_(window) {}

    int Top() const override;
    int Left() const override;
    int Width() const override;
    int Height() const override;
    WindowState State() const override;

    void SetTop(int top) override;
    void SetLeft(int left) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    void Maximize() override;

    int ScreenWidth() const override;
    // Delivers the events posted to the window, not those of the rest of the application.
    void ProcessPendingEvents() override;

  private:
    QWidget& window_;
};

}  // namespace vantrel
