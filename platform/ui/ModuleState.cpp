#include "ui/ModuleState.h"

#include <cerrno>
#include <cstdlib>

namespace ui {
namespace {

thread_local const Module* t_current = nullptr;

std::string ProgramTitle() {
    std::string name = program_invocation_short_name != nullptr ? program_invocation_short_name
                                                                : "";
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

}  // namespace

Module& ProgramModule() {
    static Module module{ProgramTitle(), nullptr};
    return module;
}

const Module& CurrentModule() { return t_current != nullptr ? *t_current : ProgramModule(); }

ModuleStateGuard::ModuleStateGuard(const Module& module) : previous_(t_current) {
    t_current = &module;
}

ModuleStateGuard::~ModuleStateGuard() { t_current = previous_; }

}  // namespace ui
