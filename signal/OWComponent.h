// The component base of the interference chain: an object with a name that owns pins and
// takes part in the operation protocol (for instance as the pumper of a stream).
#pragma once

#include <string>
#include <utility>

namespace vantrel::signal {

class TOWComponent {
  public:
    explicit TOWComponent(std::string name = {}) : name_(std::move(name)) {}
    virtual ~TOWComponent() = default;
    TOWComponent(const TOWComponent&) = delete;
    TOWComponent& operator=(const TOWComponent&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    // True while the component is edited in a designer rather than run: nothing starts then.
    bool DesignMode() const { return designMode_; }
    void SetDesignMode(bool designing) { designMode_ = designing; }

  private:
    std::string name_;
    bool designMode_ = false;
};

}  // namespace vantrel::signal
