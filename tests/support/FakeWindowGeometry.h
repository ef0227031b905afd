// A window for the settings routines without a window system: its geometry as plain values and
// what the routines did to it, in order.
#pragma once

#include <string>
#include <vector>

#include "support/Settings.h"

namespace vantrel::test {

class FakeWindow : public WindowGeometry {
  public:
    int top = 10, left = 20, width = 300, height = 200, screenWidth = 1024;
    WindowState state = WindowState::Normal;
    std::vector<std::string> calls;

    int Top() const override { return top; }
    int Left() const override { return left; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    WindowState State() const override { return state; }
    void SetTop(int v) override { Record("top", top = v); }
    void SetLeft(int v) override { Record("left", left = v); }
    void SetWidth(int v) override { Record("width", width = v); }
    void SetHeight(int v) override { Record("height", height = v); }
    void Maximize() override { calls.push_back("maximize"); }
    int ScreenWidth() const override { return screenWidth; }
    void ProcessPendingEvents() override { calls.push_back("events"); }

  private:
    void Record(const char* what, int v) {
        calls.push_back(what + std::string("=") + std::to_string(v));
    }
};

}  // namespace vantrel::test
