#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "support/TempDir.h"

namespace mutaro::testing {
namespace {

TEST(IniFileTest, WritingIntoAnExistingFileKeepsEveryOtherLineInPlace) {
    TempDir dir;
    const std::string path = dir / "a.cfg";
    WriteFile(path,
              "; written by hand\r\n"
              "[InputFormat]\r\n"
              "Product=1\r\n"
              "Extra=keep me\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=1\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ini.WriteInteger("InputFormat", "Product", 7);
    ini.WriteString("InputFormat", "Added", "yes");
    ini.WriteString("OutputFile", "Filename", "run.out");
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(ReadFile(path),
              "; written by hand\r\n"
              "[InputFormat]\r\n"
              "Product=7\r\n"
              "Extra=keep me\r\n"
              "Added=yes\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=1\r\n"
              "\r\n"
              "[OutputFile]\r\n"
              "Filename=run.out\r\n");
}

TEST(IniFileTest, ValuesDefaultsAndNonNumbers) {
    TempDir dir;
    const std::string path = dir / "b.cfg";
    WriteFile(path, "[s]\nnum = 12\nneg=-3\ntext=a b = c\nbad=12x\nempty=\nbig=99999999999\n[S2]\nnum=5\n");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.ReadInteger("s", "num", 0), 12);
    EXPECT_EQ(ini.ReadInteger("S", "NUM", 0), 12);  // names are found without regard to case
    EXPECT_EQ(ini.ReadInteger("s", "neg", 0), -3);
    EXPECT_EQ(ini.ReadString("s", "text", ""), "a b = c");
    EXPECT_EQ(ini.ReadInteger("s", "bad", 4), 4);
    EXPECT_EQ(ini.ReadInteger("s", "empty", 4), 4);
    EXPECT_EQ(ini.ReadInteger("s", "big", 4), 4);
    EXPECT_EQ(ini.ReadInteger("s", "missing", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S2", "num", 0), 5);
    EXPECT_TRUE(ini.ReadBool("s", "num", false));
    EXPECT_EQ(ini.ReadString("nope", "x", "Sample.in"), "Sample.in");
    // A file written with bare line feeds keeps them.
    ini.WriteInteger("s", "num", 1);
    EXPECT_EQ(ini.Text().substr(0, 13), "[s]\nnum=1\nneg");
}

TEST(IniFileTest, MissingFileReadsAsEmptyAndNewFilesUseCrLf) {
    TempDir dir;
    IniFile ini;
    EXPECT_TRUE(ini.Load(dir / "absent.cfg"));
    ini.WriteBool("OutputFilter", "Receiver1", true);
    ini.WriteBool("OutputFilter", "Receiver2", false);
    EXPECT_EQ(ini.Text(), "[OutputFilter]\r\nReceiver1=1\r\nReceiver2=0\r\n");
}

} // namespace
} // namespace mutaro::testing
