// The server module in a temporary installation, called as a page calls it.
//
// On top of ServerTest (the module registered in the test's own hive): an install
// folder "app" with its Data folder, named by the registry value Path, and a scripted
// UI backend that answers the module's dialogs and records what it shows.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ServerFixture.h"
#include "StoreFixture.h"
#include "ui/ScriptedBackend.h"

namespace qbtest {

// What a call by name came to. Texts are UTF-8 for readable test output.
struct CallResult {
    HRESULT hr = S_OK;
    VARTYPE vt = VT_EMPTY;
    std::string text;   // VT_BSTR
    LONG number = 0;    // VT_I4, VT_INT
    std::string error;  // the description of a DISP_E_EXCEPTION
};

// A member called by name with arguments in script order (the arguments are cleared
// afterwards). Get reads a property.
CallResult Call(IDispatch* object, const char16_t* name, std::vector<VARIANT> args = {});
CallResult Get(IDispatch* object, const char16_t* name);

// A by-reference argument whose value the callee may replace (a script's out
// parameter): VT_BYREF | VT_VARIANT pointing at target.
VARIANT Ref(VARIANT& target);
// The text of a VT_BSTR VARIANT as UTF-8 ("<vt N>" for anything else).
std::string Utf8(const VARIANT& v);

class InstalledServerTest : public ServerTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string InstallFolder() const { return Path("app"); }
    std::string DataFile(const std::string& name) const { return Path("app/Data/" + name); }
    std::string IdentityStore() const { return DataFile("QbIDStorage.cfg"); }
    std::string PasscardStore() const { return DataFile("QbPASStorage.cfg"); }
    // The names in the data folder, sorted.
    std::vector<std::string> DataFolderFiles() const;

    ui::ScriptedBackend ui_;
};

// The same, with one IdentityCtr control created as a page creates it.
class InstalledControlTest : public InstalledServerTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    com::ComPtr<IDispatch> control_;
};

// Writes entries, put in in the order given, as an enciphered store at path.
void WriteStore(const std::string& path, const std::vector<storetest::Entry>& entries);
// A store as text in its enumeration order: "Name{key=value,key=value}" per entry with a
// field map, "Name" per entry without, separated by blanks; "(no file)" when there is
// none.
std::string DescribeStore(const std::string& path);

}  // namespace qbtest
