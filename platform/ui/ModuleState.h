// Module state: which module (the program, or a loaded server module) the UI code is
// working for. It decides the caption of AfxMessageBox and the resource table
// (ui/Resources.h) in which dialog templates, strings and icons are looked up.
//
// Each module owns one Module object for its whole lifetime (a static). The current
// module is per thread; it starts as the program's module. A member of a loaded module
// switches to its own module with a ModuleStateGuard for the length of the call.
#pragma once

#include <string>

namespace ui {

struct ResourceTable;  // ui/Resources.h: a module's dialog templates, strings, icons

struct Module {
    std::string title;                         // AfxMessageBox caption
    const ResourceTable* resources = nullptr;  // not owned
};

// The program's own module; its title is the executable's name without extension.
Module& ProgramModule();
const Module& CurrentModule();

class ModuleStateGuard {
public:
    explicit ModuleStateGuard(const Module& module);
    ~ModuleStateGuard();
    ModuleStateGuard(const ModuleStateGuard&) = delete;
    ModuleStateGuard& operator=(const ModuleStateGuard&) = delete;

private:
    const Module* previous_;
};

}  // namespace ui
