// TComponent: what every named part of the program shares, its name.
// Components are owned by whoever creates them (the main window owns all of
// its components); a component never owns its owner.
#pragma once

#include <string>

namespace dorvem {

class TComponent {
 public:
  TComponent() = default;
  explicit TComponent(std::string name) : name_(std::move(name)) {}
  virtual ~TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

 private:
  std::string name_;
};

}  // namespace dorvem
