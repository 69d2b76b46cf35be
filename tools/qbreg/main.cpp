// qbreg: the registry from a shell, in the manner of the Windows `reg` command.
//
//   qbreg query  KEY [/v NAME | /ve] [/s]
//   qbreg add    KEY [/v NAME | /ve] [/t REG_SZ|REG_DWORD] [/d DATA] [/f]
//   qbreg delete KEY [/v NAME | /ve | /va] [/f]
//   qbreg export KEY FILE
//
// KEY is HKLM or HKCR (or HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT), optionally followed
// by \ and a path. The hive is $QUENBY_REGISTRY or the default of the program.
// Exit status 0 on success, 1 with a message on stderr otherwise.
#include <cstdio>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "RegCommand.h"
#include "text/CaseCompare.h"

namespace {

void Usage() {
    std::fputs(
        "usage:\n"
        "  qbreg query  KEY [/v NAME | /ve] [/s]\n"
        "  qbreg add    KEY [/v NAME | /ve] [/t REG_SZ|REG_DWORD] [/d DATA] [/f]\n"
        "  qbreg delete KEY [/v NAME | /ve | /va] [/f]\n"
        "  qbreg export KEY FILE\n"
        "KEY: HKLM or HKCR, optionally followed by \\path (for example HKLM\\SOFTWARE\\Quenby)\n"
        "hive: $QUENBY_REGISTRY, else ${XDG_DATA_HOME:-~/.local/share}/quenby/registry.db\n",
        stderr);
}

bool IsOption(const std::string& arg, const char* name) {
    return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-') &&
           text::EqualsNoCase(arg.substr(1), name, text::CodePage::Utf8);
}

int Bad(const std::string& message) {
    std::fprintf(stderr, "qbreg: %s\n", message.c_str());
    Usage();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) {
        return Bad("a command and a key are needed.");
    }
    const std::string command = args[0];
    const auto key = qbreg::ParseKey(args[1]);
    if (!key) {
        return Bad("\"" + args[1] + "\" is not a key: it must start with HKLM or HKCR.");
    }
    if (const std::string problem = registry::HiveProblem(); !problem.empty()) {
        std::fprintf(stderr, "qbreg: %s\n", problem.c_str());
        return 1;
    }

    qbreg::ValueName value;
    std::string type = "REG_SZ";
    std::optional<std::string> data;
    bool force = false, recursive = false, allValues = false;
    std::vector<std::string> positional;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto next = [&](const char* what) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            (void)what;
            return args[++i];
        };
        if (IsOption(a, "v")) {
            auto n = next("NAME");
            if (!n) {
                return Bad("/v needs a value name.");
            }
            value = {true, *n};
        } else if (IsOption(a, "ve")) {
            value = {true, ""};
        } else if (IsOption(a, "va")) {
            allValues = true;
        } else if (IsOption(a, "t")) {
            auto t = next("TYPE");
            if (!t) {
                return Bad("/t needs a type.");
            }
            type = *t;
            for (char& c : type) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
        } else if (IsOption(a, "d")) {
            data = next("DATA");
            if (!data) {
                return Bad("/d needs data.");
            }
        } else if (IsOption(a, "f")) {
            force = true;
        } else if (IsOption(a, "s")) {
            recursive = true;
        } else if (a.size() > 1 && a[0] == '/' && a.find('/', 1) == std::string::npos &&
                   command != "export") {
            return Bad("unknown option " + a + ".");
        } else {
            positional.push_back(a);
        }
    }

    auto is = [&](const char* name) { return text::EqualsNoCase(command, name, text::CodePage::Utf8); };
    if (is("export")) {
        if (positional.size() != 1) {
            return Bad("export needs exactly one FILE.");
        }
        return qbreg::Export(*key, positional[0], stdout);
    }
    if (!positional.empty()) {
        return Bad("unexpected argument " + positional[0] + ".");
    }
    if (is("query")) {
        return qbreg::Query(*key, value, recursive, stdout);
    }
    if (is("add")) {
        return qbreg::Add(*key, value, type, data, force, stdout);
    }
    if (is("delete")) {
        if (value.given && allValues) {
            return Bad("give either /v, /ve or /va.");
        }
        return qbreg::Delete(*key, value, allValues, force, stdout);
    }
    return Bad("unknown command " + command + ".");
}
