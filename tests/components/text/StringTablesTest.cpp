#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "components/text/OvcStrings.h"
#include "components/text/StBase.h"
#include "components/text/StringResource.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(LibraryMessages, LookupAndRaise) {
    EXPECT_EQ(LookupLibraryString(415),
              "Triangular exchange rate is using triangular exchange rates");
    EXPECT_EQ(LookupLibraryString(99), "");
    EXPECT_EQ(LookupLibraryString(stscFileOpen), "Error opening file");
    EXPECT_EQ(LookupLibraryString(stscVerInfoKeyNotFound),
              "The specified key cannnot be found in version info");
    EXPECT_EQ(FindStringTable("LIBRARY_MESSAGES").size(), 175u);
    try {
        RaiseLibraryError<EStVersionInfoError>(stscNoVerInfo);
        FAIL() << "no exception";
    } catch (const EStException& e) {
        EXPECT_NE(dynamic_cast<const EStVersionInfoError*>(&e), nullptr);
        EXPECT_EQ(e.Message(), "File does not contain version info");
        EXPECT_EQ(e.ErrorCode, stscNoVerInfo);
    }
}

TEST(OvcMessages, LookupIsBinarySearchOverASortedTable) {
    const auto table = FindStringTable("OVC_MESSAGES");
    ASSERT_EQ(table.size(), 375u);
    // Binary search finds only what lies in order; an id out of place would be lost.
    for (size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].Id, table[i].Id) << i;
    EXPECT_EQ(LookupOvcString(SCInvalidXMLFile), "Invalid XMLStore File Format");
    EXPECT_EQ(LookupOvcString(SCBadTerminatedElement), "Improperly terminated element");
    EXPECT_EQ(LookupOvcString(SCOnlyOnForms + 0x10000), "This component can only be used on forms");
    EXPECT_EQ(OvcStringOrUnknown(1), "Unknown");
    EXPECT_EQ(OvcStringOrUnknown(SCTrue), "T");
    const TOvcIntlSup& intl = OvcIntlSup();
    EXPECT_EQ(std::string() + intl.YesChar + intl.NoChar + intl.TrueChar + intl.FalseChar, "YNTF");
}

// Builds a "STR0" table from (id, UTF-16 text) rows given in ascending id order.
std::vector<uint8_t> Str0(const std::vector<std::pair<int32_t, std::u16string>>& rows) {
    std::vector<uint8_t> out = {'S', 'T', 'R', '0'};
    auto put = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    };
    put(uint32_t(rows.size()));
    uint32_t offset = uint32_t(8 + 12 * rows.size());
    for (const auto& [id, text] : rows) {
        put(uint32_t(id));
        put(offset);
        put(uint32_t(text.size()));
        offset += uint32_t(2 * text.size());
    }
    for (const auto& row : rows)
        for (char16_t unit : row.second) {
            out.push_back(uint8_t(unit));
            out.push_back(uint8_t(unit >> 8));
        }
    return out;
}

TEST(StringResource, ProgramTables) {
    TSsStringResource& reader = StringResourceManagerStrings();
    EXPECT_EQ(reader.GetText(SInvalidStringResource), "Invalid string resource");
    EXPECT_EQ(reader.GetText(42), "");
    TSsStringResource& shell = ShellStrings();
    EXPECT_EQ(shell.GetText(133), "Cannot have more than one StTrayIcon per application");
    EXPECT_EQ(shell.GetText(127), "&Close");
    EXPECT_EQ(shell.GetText(134), LookupLibraryString(134));
    EXPECT_EQ(shell.GetText(1), "");

    // Names compare without regard to case; an empty name leaves the reader without a table.
    TSsStringResource lower(nullptr, "shellshock_strings_english");
    EXPECT_EQ(lower.GetText(121), "Tray icon error");
    TSsStringResource none(nullptr, "");
    EXPECT_EQ(none.GetText(121), "");
}

TEST(StringResource, ModuleTablesConversionAndErrors) {
    const std::vector<uint8_t> good =
        Str0({{-3, u"minus"}, {7, u"seven"}, {9, u"\u00e4\u20ac\u0416x\U0001F600y"}, {10, u""}});
    std::vector<uint8_t> badMagic = good;
    badMagic[3] = '1';
    std::vector<uint8_t> shortHeader = {'S', 'T', 'R', '0', 5, 0, 0, 0};  // claims 5 entries
    std::vector<uint8_t> textOutside = Str0({{1, u"abc"}});
    textOutside.resize(textOutside.size() - 2);  // the text runs past the end
    const TResourceEntry entries[] = {
        {"GOOD", good}, {"BADMAGIC", badMagic}, {"SHORT", shortHeader}, {"OUTSIDE", textOutside}};
    const TResourceModule module{entries};

    TSsStringResource reader(&module, "GOOD");
    EXPECT_EQ(reader.GetText(7), "seven");
    EXPECT_EQ(reader.GetText(-3), "minus");
    EXPECT_EQ(reader.GetText(10), "");
    // Windows-1252: a-umlaut and the euro sign have bytes; Cyrillic and emoji become "?".
    EXPECT_EQ(reader.GetText(9), "\xE4\x80?x?y");
    EXPECT_EQ(reader.GetText(8), "");

    reader.SetReportMissing(true);
    EXPECT_EQ(ErrorOf<ETpsStringResourceError>([&] { reader.GetText(8); }), "String not found: 8");

    // Falls back to the program's own tables when the module lacks the name.
    reader.SelectResource(&module, "STSRMGR_STRINGS");
    EXPECT_EQ(reader.GetText(SCannotLockResource), "Cannot lock resource");

    const struct {
        const char* name;
        const char* message;
    } failures[] = {
        {"BADMAGIC", "Invalid string resource"},
        {"SHORT", "Invalid string resource"},
        {"NOWHERE", "String resource not found: NOWHERE"},
    };
    for (const auto& f : failures) {
        EXPECT_EQ(ErrorOf<ETpsStringResourceError>([&] { TSsStringResource bad(&module, f.name); }),
                  f.message)
            << f.name;
    }
    TSsStringResource outside(&module, "OUTSIDE");
    EXPECT_THROW(outside.GetText(1), ETpsStringResourceError);
}

}  // namespace
