#include "serial/posix/IniDocument.h"
#include "serial/posix/RegistryFile.h"
#include "serial/posix/StoreError.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TIniDocument Ini(const std::string& bytes)
{
    std::optional<TIniDocument> document = TIniDocument::Parse(bytes);
    EXPECT_TRUE(document) << bytes;
    EXPECT_EQ(document.value_or(TIniDocument()).Bytes(), bytes);
    return document.value_or(TIniDocument());
}

TRegistryDocument Registry(const std::string& bytes)
{
    std::optional<TRegistryDocument> document = TRegistryDocument::Parse(bytes);
    EXPECT_TRUE(document) << bytes;
    EXPECT_EQ(document.value_or(TRegistryDocument()).Bytes(), bytes);
    return document.value_or(TRegistryDocument());
}

TEST(IniDocumentTest, ChangesTouchOnlyTheirLineAndNewLinesFollowTheFile)
{
    const struct {
        std::string Before, Section, Key, Value, After;
    } cases[] = {
        {"", "ComPort", "Port", "COM1", "[ComPort]\nPort=COM1\n"},
        {"; c\r\n[comport]\r\n  port =  COM1  \r\nX=1\r\n", "ComPort", "Port", "COM2",
         "; c\r\n[comport]\r\n  port =  COM2\r\nX=1\r\n"},
        {"[A]\nx=1\n\n; of B\n[B]\ny=2\n", "a", "z", "3", "[A]\nx=1\nz=3\n\n; of B\n[B]\ny=2\n"},
        {"[A]\n[B]\n", "A", "k", "1", "[A]\nk=1\n[B]\n"},
        {"[A]\nx=1", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
        {"[A]\r\nx=1\r\n", "B", "k", "v", "[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n"},
        {"[A]\nk=1\n[A]\nk=2\n", "A", "K", "3", "[A]\nk=3\n[A]\nk=2\n"},
        {"[A]\nx=1\r", "A", "y", "2", "[A]\nx=1\r\ny=2\n"},
    };
    for (const auto& c : cases) {
        TIniDocument document = Ini(c.Before);
        document.SetValue(c.Section, c.Key, c.Value);
        EXPECT_EQ(document.Bytes(), c.After) << c.Before;
        EXPECT_TRUE(Ini(document.Bytes()) == document);
        EXPECT_EQ(document.Value(c.Section, c.Key), c.Value);
    }
}

TEST(IniDocumentTest, ReadsIgnoreLetterCaseAndBlanksAndTakeTheFirstOfAName)
{
    const struct {
        std::string Bytes, Section, Key;
        std::optional<std::string> Value;
    } cases[] = {
        {" [ ComPort ] \n  BaudRate = 57600  \n", "COMPORT", "baudrate", "57600"},
        {"[A]\nk=a=b\nk=2\n[A]\nk=3\n", "A", "k", "a=b"},
        {"[A]\nk=\n", "A", "k", ""},
        {"[A]\nk=1\n[B]\nk=2\n", "B", "K", "2"},
        {"k=1\n[A]\n;k=1\nk\n", "A", "k", std::nullopt},
        {"[A]\nk=1\n", "B", "k", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ini(c.Bytes).Value(c.Section, c.Key), c.Value) << c.Bytes;
    EXPECT_FALSE(TIniDocument::Parse(std::string("[A]\nk=1\0\n", 9)));
}

TEST(IniDocumentTest, RefusesEntriesThatWouldNotReadBackAndStaysUnchanged)
{
    TIniDocument document = Ini("[A]\nk=1\n");
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"a=b", "1"}, {"", "1"}, {"[x", "1"},
                                     {";x", "1"}, {"k", "two\nlines"}, {"k", "cr\r"}}) {
        EXPECT_THROW(document.SetValue("A", key, value), EStoreError) << key << value;
        EXPECT_EQ(document.Bytes(), "[A]\nk=1\n");
    }
}

TEST(RegistryDocumentTest, RefusesWhatIsNoRegistryExport)
{
    for (const std::string bytes :
         {"garbage\n", "REGEDIT5\n", "REGEDIT4\n\"a\"=\"b\"\n", "REGEDIT4\n[K]\n\"a\"=\"b\n",
          "REGEDIT4\n[K]\n\"a\"=\"C:\\dir\"\n", "REGEDIT4\n[K]\n\"a\"=dword:123456789\n",
          "REGEDIT4\n[K]\n\"a\"=hex:1,zz\n", "REGEDIT4\n[K]\n\"a\"=hex:01,\n", "REGEDIT4\n[K]\nnoise\n",
          "REGEDIT4\n[K\n", "REGEDIT4\n[K]\n\"a\"\n", "REGEDIT4\n[K]\n\"a\"=\"b\" x\n", "REGEDIT4\n[]\n"})
        EXPECT_FALSE(TRegistryDocument::Parse(bytes)) << bytes;
    EXPECT_FALSE(TRegistryDocument::Parse(std::string("REGEDIT4\n[K]\n\"a\"=\"\0\"\n", 18)));
}

TEST(RegistryDocumentTest, ReadsEveryValueFormAndTheLastEntryOfAName)
{
    const TRegistryDocument document = Registry("REGEDIT4\r\n\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                                                "\"Port\"=\"C:\\\\\\\"x\"\r\n@=\"default\"\r\n"
                                                "\"Rate\"=dword:00002580\r\n\"Bin\"=hex:01,02,\\\r\n  03\r\n"
                                                "\"Sz\"=hex(1):41,0d,0a,00\r\n\"Dw\"=hex(4):80,25,00,00\r\n"
                                                "\"Gone\"=-\r\n[-HKEY_CURRENT_USER\\Software\\Old]\r\n\"Port\"=\"x\"\r\n"
                                                "[hkey_current_user\\software\\test]\r\n\"rate\"=dword:FFFFFFFF");
    const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\Test";
    const struct {
        std::string Key, Name;
        std::optional<TRegistryValue> Value;
    } cases[] = {
        {key, "port", TRegistryValue{rdString, "C:\\\"x"}},
        {key, "", TRegistryValue{rdString, "default"}},
        {key, "Rate", TRegistryValue{rdInteger, {}, 0xFFFFFFFF}},
        {key, "Bin", TRegistryValue{}},
        {key, "Sz", TRegistryValue{rdString, "A\r\n"}},
        {key, "Dw", TRegistryValue{rdInteger, {}, 9600}},
        {key, "Gone", std::nullopt},
        {"HKEY_CURRENT_USER\\Software\\Old", "Port", std::nullopt},
        {"HKEY_LOCAL_MACHINE\\Software\\Test", "Port", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(document.Value(c.Key, c.Name), c.Value) << c.Name;
}

TEST(RegistryDocumentTest, ChangesTouchOnlyTheirLineAndNewKeysGoToTheEnd)
{
    const std::string key = "HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort";
    TRegistryDocument document = Registry("");
    document.SetValue(key, "Port", {rdString, "COM11"});
    document.SetValue(key, "CustomBaudRate", {rdInteger, {}, 9600});
    EXPECT_EQ(document.Bytes(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort]\n\"Port\"=\"COM11\"\n"
                                "\"CustomBaudRate\"=dword:00002580\n\n");

    document = Registry("REGEDIT4\r\n; kept\r\n[OTHER]\r\n\"x\"=\"1\"\r\n\r\n[" + key
                        + "]\r\n\"PORT\"=hex:01,\\\r\n 02\r\n\r\n[LAST]\r\n");
    document.SetValue(key, "port", {rdString, "two\nlines \\ \""});
    document.SetValue(key, "New", {rdInteger, {}, 0x80000000});
    document.SetValue("HKEY_CURRENT_USER\\X", "Y", {rdString, ""});
    EXPECT_EQ(document.Bytes(), "REGEDIT4\r\n; kept\r\n[OTHER]\r\n\"x\"=\"1\"\r\n\r\n[" + key
                                    + "]\r\n\"PORT\"=hex(1):74,77,6f,0a,6c,69,6e,65,73,20,5c,20,22,00\r\n"
                                      "\"New\"=dword:80000000\r\n\r\n[LAST]\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"
                                      "\"Y\"=\"\"\r\n\r\n");
    EXPECT_EQ(Registry(document.Bytes()).Value(key, "Port"), (TRegistryValue{rdString, "two\nlines \\ \""}));

    const std::string before = document.Bytes();
    EXPECT_THROW(document.SetValue(key, "a\nb", {rdString, "x"}), EStoreError);
    EXPECT_THROW(document.SetValue(key + "\n", "a", {rdString, "x"}), EStoreError);
    EXPECT_THROW(document.SetValue(key, "a", TRegistryValue{}), EStoreError);
    EXPECT_EQ(document.Bytes(), before);
}

} // namespace
