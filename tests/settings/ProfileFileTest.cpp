// The profile-file module: integer parsing, key-by-key reads, writes that keep
// everything else, and failed writes that change nothing.
#include "settings/ProfileFile.h"

#include "SettingsTestFiles.h"
#include "support/Error.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

namespace bitonix {
namespace {

using test::Entries;
using test::ReadBytes;
using test::WriteBytes;

TEST(ProfileInteger, ReadsDecimalAndHexOrNothing) {
    struct TCase {
        const char* Text;
        std::optional<int> Expected;
    };
    const TCase cases[] = {
        {"21", 21},
        {"-1", -1},
        {"+5", 5},
        {"007", 7},
        {"0x20", 32},
        {"0X1f", 31},
        {"0x7FFFFFFF", 2147483647},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0x", std::nullopt}, // two characters: not hexadecimal, and not decimal
        {"0x80000000", std::nullopt},
        {"2147483648", std::nullopt},
        {"0x-5", std::nullopt},
        {"-0x5", std::nullopt},
        {"+-5", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"\xD9\xA3", std::nullopt}, // an Arabic-Indic digit is no digit here
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ParseProfileInteger(QString::fromUtf8(c.Text)), c.Expected) << c.Text;
    }
}

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir FDir;
    QString FPath = FDir.filePath(QStringLiteral("settings.ini"));
};

TEST_F(ProfileFileTest, ReadsKeysCaseInsensitivelyWithDefaults) {
    WriteBytes(FPath, "stray=before any section\n"
                      "; comment=ignored\n"
                      "[Config]\n"
                      "  Language =  pl  \n"
                      "Quoted=\"a b\"\n"
                      "Single='x'\n"
                      "Half=\"open\n"
                      "Empty=\n"
                      "Twice=first\n"
                      "Twice=second\n"
                      "NoEquals\n"
                      "[config]\n"
                      "Late=in a second section of the same name\n");
    const TProfileFile file(FPath);
    const QString def = QStringLiteral("default");
    EXPECT_EQ(file.ReadString("CONFIG", "language", def), "pl");
    EXPECT_EQ(file.ReadString("Config", "Quoted", def), "a b");
    EXPECT_EQ(file.ReadString("Config", "Single", def), "x");
    EXPECT_EQ(file.ReadString("Config", "Half", def), "\"open");
    EXPECT_EQ(file.ReadString("Config", "Empty", def), "");
    EXPECT_EQ(file.ReadString("Config", "Twice", def), "first");
    EXPECT_EQ(file.ReadString("Config", "NoEquals", def), def);
    EXPECT_EQ(file.ReadString("Config", "Late", def), def);
    EXPECT_EQ(file.ReadString("Config", "comment", def), def);
    EXPECT_EQ(file.ReadString("Config", "stray", def), def);
    EXPECT_EQ(file.ReadString("Missing", "Language", def), def);
    EXPECT_EQ(TProfileFile(FDir.filePath("none.ini")).ReadString("Config", "Language", def), def);
    EXPECT_EQ(file.ReadInteger("Config", "Language", 5), 5);
}

TEST_F(ProfileFileTest, EveryReadSeesTheFileAsItIsNow) {
    const TProfileFile file(FPath);
    WriteBytes(FPath, "[A]\nk=1\n");
    EXPECT_EQ(file.ReadInteger("A", "k", 0), 1);
    WriteBytes(FPath, "[A]\nk=2\n");
    EXPECT_EQ(file.ReadInteger("A", "k", 0), 2);
}

TEST_F(ProfileFileTest, WritesKeepEverythingElseInPlace) {
    struct TCase {
        const char* Name;
        QByteArray Before;
        QByteArray After; // after setting [Processing] DPI=600 and Rotation=3
    };
    const TCase cases[] = {
        {"no file yet", {}, "[Processing]\nDPI=600\nRotation=3\n"},
        {"keys replaced where they are, in the file's spelling",
         "; mine\n[other]\nDPI=1\n\n[PROCESSING]\nrotation = 1\nextra=keep\ndpi=75\n",
         "; mine\n[other]\nDPI=1\n\n[PROCESSING]\nrotation=3\nextra=keep\ndpi=600\n"},
        {"new keys after the section's last line, before the blank separator",
         "[Processing]\nExtra=1\n; note\n\n[Config]\nLanguage=pl\n",
         "[Processing]\nExtra=1\n; note\nDPI=600\nRotation=3\n\n[Config]\nLanguage=pl\n"},
        {"new section at the end after one blank line", "[Config]\nLanguage=pl\n",
         "[Config]\nLanguage=pl\n\n[Processing]\nDPI=600\nRotation=3\n"},
        {"no second blank line when the file ends with one", "[Config]\nLanguage=pl\n\n",
         "[Config]\nLanguage=pl\n\n[Processing]\nDPI=600\nRotation=3\n"},
        {"a last line without a break gets one", "[Processing]\nExtra=1",
         "[Processing]\nExtra=1\nDPI=600\nRotation=3\n"},
        {"CRLF files get CRLF lines", "[Config]\r\nLanguage=pl\r\n",
         "[Config]\r\nLanguage=pl\r\n\r\n[Processing]\r\nDPI=600\r\nRotation=3\r\n"},
        {"a byte-order mark stays and its header line still counts",
         "\xEF\xBB\xBF[Processing]\nDPI=75\n", "\xEF\xBB\xBF[Processing]\nDPI=600\nRotation=3\n"},
        {"the first of two sections of one name is changed",
         "[Processing]\nDPI=75\n[Processing]\nDPI=100\n",
         "[Processing]\nDPI=600\nRotation=3\n[Processing]\nDPI=100\n"},
        {"bytes that are not UTF-8 survive on other lines", "[X]\nname=\xE9\xFF\n",
         "[X]\nname=\xE9\xFF\n\n[Processing]\nDPI=600\nRotation=3\n"},
    };
    for (const TCase& c : cases) {
        QFile::remove(FPath);
        if (!c.Before.isNull()) {
            WriteBytes(FPath, c.Before);
        }
        TProfileFile file(FPath);
        file.WriteStrings("Processing", {{"DPI", "600"}, {"Rotation", "3"}});
        EXPECT_EQ(ReadBytes(FPath), c.After) << c.Name;
        EXPECT_EQ(file.ReadString("processing", "dpi", ""), "600") << c.Name;
    }
}

TEST_F(ProfileFileTest, CreatesMissingFolders) {
    const QString path = FDir.filePath("a/b/settings.ini");
    TProfileFile(path).WriteInteger("Config", "WHSize", 12);
    EXPECT_EQ(ReadBytes(path), "[Config]\nWHSize=12\n");
}

TEST_F(ProfileFileTest, FailedWriteThrowsAndChangesNothing) {
    WriteBytes(FPath, "[Config]\nLanguage=pl\n");
    WriteBytes(FDir.filePath("file"), "not a folder");
    QDir(FDir.path()).mkdir("folder");
    const QStringList before = Entries(FDir.path());

    struct TCase {
        const char* Name;
        QString Path;
        QString Value;
    };
    const TCase cases[] = {
        {"parent is a file", FDir.filePath("file/settings.ini"), "en"},
        {"path is a folder", FDir.filePath("folder"), "en"},
        {"value with a line break", FPath, "en\n[Injected]"},
    };
    for (const TCase& c : cases) {
        try {
            TProfileFile(c.Path).WriteString("Config", "Language", c.Value);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const TError& error) {
            EXPECT_EQ(error.Text(), "Unable to write to " + c.Path) << c.Name;
        }
    }
    EXPECT_EQ(ReadBytes(FPath), "[Config]\nLanguage=pl\n");
    EXPECT_EQ(Entries(FDir.path()), before);
}

TEST_F(ProfileFileTest, ReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    WriteBytes(FPath, "[Config]\nLanguage=pl\n");
    QFile::setPermissions(FPath, QFile::ReadOwner);
    EXPECT_THROW(TProfileFile(FPath).WriteString("Config", "Language", "en"), TError);
    EXPECT_EQ(ReadBytes(FPath), "[Config]\nLanguage=pl\n");
}

} // namespace
} // namespace bitonix
