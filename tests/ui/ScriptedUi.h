// Test helper: a scripted backend installed and a module with the given resource
// table made current, both for the lifetime of the object.
#pragma once

#include <string>
#include <utility>

#include "ui/ModuleState.h"
#include "ui/Resources.h"
#include "ui/ScriptedBackend.h"

namespace qbtest {

class ScriptedUi {
  public:
    explicit ScriptedUi(const ui::ResourceTable& table, std::string title = "Quenby")
        : module_{std::move(title), &table}, guard_(module_) {}

    ui::ScriptedBackend backend;

  private:
    ui::ScopedBackend scope_{backend};
    ui::Module module_;
    ui::ModuleStateGuard guard_;
};

}  // namespace qbtest
