#include "InstalledServer.h"

#include <algorithm>
#include <filesystem>

#include "EntryMap.h"
#include "StoreFiles.h"
#include "text/CodePage.h"

namespace qbtest {
namespace {

CallResult Invoke(IDispatch* object, const char16_t* name, WORD flags, std::vector<VARIANT> args) {
    std::u16string member = name;
    LPOLESTR names[] = {member.data()};
    DISPID id = 0;
    CallResult out;
    out.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (SUCCEEDED(out.hr)) {
        com::Variant result;
        EXCEPINFO excep{};
        out.hr = InvokeInScriptOrder(object, id, flags, args, &result, &excep);
        out.vt = result.vt;
        if (result.vt == VT_BSTR) {
            out.text = Utf8(result);
        } else if (result.vt == VT_I4 || result.vt == VT_INT) {
            out.number = result.lVal;
        }
        out.error = text::ToNarrow(com::BstrView(excep.bstrDescription), text::CodePage::Utf8);
        com::ClearExcepInfo(&excep);
    }
    for (VARIANT& v : args) {
        VariantClear(&v);
    }
    return out;
}

}  // namespace

CallResult Call(IDispatch* object, const char16_t* name, std::vector<VARIANT> args) {
    return Invoke(object, name, DISPATCH_METHOD, std::move(args));
}

CallResult Get(IDispatch* object, const char16_t* name) {
    return Invoke(object, name, DISPATCH_PROPERTYGET, {});
}

VARIANT Ref(VARIANT& target) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = &target;
    return v;
}

std::string Utf8(const VARIANT& v) {
    if (v.vt != VT_BSTR) {
        return "<vt " + std::to_string(v.vt) + ">";
    }
    return text::ToNarrow(com::BstrView(v.bstrVal), text::CodePage::Utf8);
}

void InstalledServerTest::SetUp() {
    ServerTest::SetUp();
    std::filesystem::create_directories(Path("app/Data"));
    SetString("SOFTWARE\\Quenby\\AppPath", "Path", InstallFolder());
    ui::InstallBackend(&ui_);
}

void InstalledServerTest::TearDown() {
    ui::InstallBackend(nullptr);
    ServerTest::TearDown();
}

void InstalledControlTest::SetUp() {
    InstalledServerTest::SetUp();
    control_ = Create(u"QBStorage.IdentityCtr");
    ASSERT_TRUE(control_);
}

void InstalledControlTest::TearDown() {
    control_.reset();
    InstalledServerTest::TearDown();
}

std::vector<std::string> InstalledServerTest::DataFolderFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Path("app/Data"))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteStore(const std::string& path, const std::vector<storetest::Entry>& entries) {
    EntryMap map;
    storetest::Fill(map, entries);
    store::SaveStore(path, map);
}

std::string DescribeStore(const std::string& path) {
    EntryMap map;
    if (!store::LoadStore(path, map)) {
        return "(no file)";
    }
    std::string out;
    for (const storetest::Entry& e : storetest::Enumerate(map)) {
        out += (out.empty() ? "" : " ") + e.name;
        if (e.hasFields) {
            std::string fields;
            for (const auto& [key, value] : e.fields) {
                fields += (fields.empty() ? "" : ",") + key + "=" + value;
            }
            out += "{" + fields + "}";
        }
    }
    return out;
}

}  // namespace qbtest
