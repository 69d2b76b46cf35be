// GUIDs and BSTRs: the value types every call of the object runtime carries.
#include <gtest/gtest.h>

#include <cstring>

#include "com/Bstr.h"
#include "com/Guid.h"
#include "com/HResult.h"

namespace {

constexpr GUID kSample = com::Guid("2A706EC0-52A6-46E8-AE90-221009C59DFD");

TEST(GuidTest, ReadsAndWritesTheRegistryForm) {
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {
        {"{2A706EC0-52A6-46E8-AE90-221009C59DFD}", true},
        {"{2a706ec0-52a6-46e8-ae90-221009c59dfd}", true},  // either case when read
        {"2A706EC0-52A6-46E8-AE90-221009C59DFD", false},   // braces are part of the form
        {"{2A706EC0-52A6-46E8-AE90-221009C59DF}", false},
        {"{2A706EC0-52A6-46E8-AE90-221009C59DFDX}", false},
        {"{2A706EC0+52A6-46E8-AE90-221009C59DFD}", false},
        {"{2A706EC0-52A6-46E8-AE90-221009C59DFG}", false},
        {" {2A706EC0-52A6-46E8-AE90-221009C59DFD}", false},
        {"", false},
    };
    for (const Case& c : cases) {
        GUID parsed{};
        EXPECT_EQ(com::ParseGuid(c.text, &parsed), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(parsed, kSample) << c.text;
        }
    }
    EXPECT_EQ(com::FormatGuid(kSample), "{2A706EC0-52A6-46E8-AE90-221009C59DFD}");
    EXPECT_EQ(kSample.Data1, 0x2A706EC0u);
    EXPECT_EQ(kSample.Data4[0], 0xAE);
    EXPECT_EQ(kSample.Data4[7], 0xFD);
    EXPECT_NE(kSample, GUID_NULL);
}

TEST(BstrTest, CarriesItsLengthInFrontAndMayHoldZeros) {
    const char16_t text[] = u"a\0b";
    BSTR b = SysAllocStringLen(text, 3);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(SysStringByteLen(b), 6u);
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(b) - 4, 4);
    EXPECT_EQ(prefix, 6u) << "the prefix is the byte count";
    EXPECT_EQ(b[3], 0) << "terminated after its length";
    EXPECT_EQ(com::BstrView(b), std::u16string_view(text, 3));
    SysFreeString(b);
}

TEST(BstrTest, NullReadsAsEmptyAndEmptyIsNotNull) {
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_TRUE(com::BstrView(nullptr).empty());
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    SysFreeString(nullptr);  // harmless

    BSTR empty = com::AllocBstr(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);

    BSTR zeroed = SysAllocStringLen(nullptr, 2);
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(zeroed[0], 0);
    EXPECT_EQ(SysStringLen(zeroed), 2u);
    SysFreeString(zeroed);
}

TEST(BstrTest, ReallocationMayCopyFromItself) {
    BSTR b = SysAllocString(u"identity");
    ASSERT_TRUE(SysReAllocString(&b, b + 2));
    EXPECT_EQ(com::BstrView(b), u"entity");
    ASSERT_TRUE(SysReAllocStringLen(&b, b, 3));
    EXPECT_EQ(com::BstrView(b), u"ent");
    SysFreeString(b);
    EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
}

TEST(BstrTest, OwnerFreesAndHandsOver) {
    com::Bstr owner(u"field");
    EXPECT_EQ(owner.view(), u"field");
    BSTR raw = owner.Detach();
    EXPECT_EQ(owner.get(), nullptr);
    com::Bstr again = com::Bstr::Attach(raw);
    *again.Receive() = SysAllocString(u"new");  // the old one is freed first
    EXPECT_EQ(again.view(), u"new");
}

TEST(HResultTest, WindowsValuesAndTexts) {
    EXPECT_EQ(static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)), 0x80070005u);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SUCCESS), S_OK);
    EXPECT_TRUE(FAILED(DISP_E_EXCEPTION));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_EQ(com::FormatHResult(CLASS_E_CLASSNOTAVAILABLE), "0x80040111");
    EXPECT_EQ(com::DescribeHResult(E_NOTIMPL), "Not implemented.");
    EXPECT_EQ(com::DescribeHResult(static_cast<HRESULT>(0x80041234u)), "Error 0x80041234.");
}

}  // namespace
