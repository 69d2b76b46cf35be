// The registrar: runs a module's registration script against the registry.
//
// A script is a tree of keys under one root. Each key may carry a default value and
// named values (all REG_SZ) and one mark:
//   ForceRemove  register: the key is deleted with all its subkeys before it is written;
//                unregister: the key is deleted with all its subkeys.
//   NoRemove     unregister: the key stays (only what the script names below it goes).
//   none         register: the key is created or opened and its values are set;
//                unregister: the subkeys the script names go first (deepest first),
//                then the named values, then the key itself unless something the script
//                does not name still has subkeys under it.
// Key names and values may use replacements "%NAME%" (a doubled "%%" is one '%').
//
// Register stops at the first registry call that fails and returns its error as an
// HRESULT (keys written until then stay). A script naming an unknown replacement is
// refused with E_INVALIDARG before anything is written.
// Thread: any; each call goes through the registry's own serialisation.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "com/HResult.h"
#include "registry/Registry.h"

namespace com {

enum class RegMark { None, ForceRemove, NoRemove };

struct RegValueDesc {
    std::string name;
    std::string data;
};

struct RegKeyDesc {
    RegMark mark = RegMark::None;
    std::string name;
    std::optional<std::string> value;  // the default value
    std::vector<RegValueDesc> values;
    std::vector<RegKeyDesc> children;
};

// A key for a script: RegKey("CLSID", std::nullopt, {children...}, RegMark::NoRemove).
RegKeyDesc RegKey(std::string name, std::optional<std::string> value = std::nullopt,
                  std::vector<RegKeyDesc> children = {}, RegMark mark = RegMark::None,
                  std::vector<RegValueDesc> values = {});

struct RegScript {
    HKEY root;
    std::vector<RegKeyDesc> keys;
};

class Registrar {
  public:
    // Adds or replaces the text that "%name%" stands for.
    void AddReplacement(const std::string& name, const std::string& value);

    HRESULT Register(const RegScript& script) const;
    HRESULT Unregister(const RegScript& script) const;

  private:
    HRESULT Expand(const RegScript& script, RegScript* out) const;
    HRESULT Expand(const std::string& text, std::string* out) const;
    HRESULT Expand(const RegKeyDesc& key, RegKeyDesc* out) const;

    std::map<std::string, std::string> replacements_;
};

}  // namespace com
