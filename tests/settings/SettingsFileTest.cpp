// The settings file: its location, the rules of each processing key, the
// [Config] keys, and what a save leaves in the file.
#include "settings/SettingsFile.h"

#include "SettingsTestFiles.h"
#include "support/Error.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bitonix {

// Found by GoogleTest through the type's namespace.
void PrintTo(const TProcessingConfig& c, std::ostream* out) {
    *out << "{" << c.DPI.toStdString() << ", " << c.Rotation << ", " << c.Contrast << ", "
         << c.Perspective << "}";
}

namespace {

using test::ReadBytes;
using test::WriteBytes;

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir FDir;
    QString FPath = FDir.filePath(QStringLiteral("Bitonix/bitonix.ini"));
};

// Points the per-user configuration folder at `folder` while it lives.
class TConfigHomeOverride {
public:
    explicit TConfigHomeOverride(const QString& folder)
        : FHad(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")), FOld(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    }
    ~TConfigHomeOverride() {
        if (FHad) {
            qputenv("XDG_CONFIG_HOME", FOld);
        } else {
            qunsetenv("XDG_CONFIG_HOME");
        }
    }
    TConfigHomeOverride(const TConfigHomeOverride&) = delete;
    TConfigHomeOverride& operator=(const TConfigHomeOverride&) = delete;

private:
    bool FHad;
    QByteArray FOld;
};

TEST_F(SettingsFileTest, GetConfigFileMakesTheFolderButNotTheFile) {
    const TConfigHomeOverride home(FDir.path());
    const QString path = GetConfigFile();
    EXPECT_EQ(path, FDir.path() + "/Bitonix/bitonix.ini");
    EXPECT_TRUE(QFileInfo(FDir.filePath("Bitonix")).isDir());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(SettingsFileTest, GetConfigFileThrowsWhenTheFolderCannotBeMade) {
    const QString blocker = FDir.filePath("blocker");
    WriteBytes(blocker, "a file where a folder should be");
    const TConfigHomeOverride home(blocker);
    try {
        GetConfigFile();
        FAIL() << "no error";
    } catch (const TError& error) {
        EXPECT_EQ(error.Text(), "Unable to create the folder " + blocker + "/Bitonix");
    }
}

TEST_F(SettingsFileTest, FirstStartGivesTheDefaultsAndWritesNothing) {
    EXPECT_EQ(LoadProcessingConfig(TProcessingConfig(), FPath),
              (TProcessingConfig{"300", 0, 21, PerspectiveManual}));
    EXPECT_EQ(ReadConfigWHSize(FPath), 8);
    EXPECT_EQ(ReadConfigLanguage(FPath), "");
    EXPECT_FALSE(QFileInfo::exists(FPath));
}

TEST_F(SettingsFileTest, EachProcessingKeyFollowsItsRule) {
    // Differs from the start-up state in every field, to show it is the default.
    const TProcessingConfig current{"150", 1, 40, PerspectiveNone};
    struct TCase {
        const char* Line;
        TProcessingConfig Expected;
    };
    const TCase cases[] = {
        {"DPI=400", current},
        {"DPI=600", {"600", 1, 40, 0}},
        {"dpi=1200", {"1200", 1, 40, 0}},
        {"DPI=", current},
        {"DPI=300dpi", current},
        {"Rotation=3", {"150", 3, 40, 0}},
        {"Rotation=0", {"150", 0, 40, 0}},
        {"Rotation=4", current},
        {"Rotation=-1", current},
        {"Rotation=two", current},
        {"Contrast=0", {"150", 1, 1, 0}},
        {"Contrast=250", {"150", 1, 100, 0}},
        {"Contrast=0x20", {"150", 1, 32, 0}},
        {"Contrast=-7", {"150", 1, 1, 0}},
        {"Contrast=lots", current},
        {"Perspective=1", {"150", 1, 40, PerspectiveAuto}},
        {"Perspective=2", {"150", 1, 40, PerspectiveManual}},
        {"Perspective=7", {"150", 1, 40, PerspectiveManual}},
        {"Perspective=-1", {"150", 1, 40, PerspectiveManual}},
        {"Perspective=off", current},
    };
    for (const TCase& c : cases) {
        WriteBytes(FPath, QByteArray("[Processing]\n") + c.Line + "\n");
        EXPECT_EQ(LoadProcessingConfig(current, FPath), c.Expected) << c.Line;
    }
}

TEST_F(SettingsFileTest, PerspectiveDefaultsToTheCurrentMode) {
    WriteBytes(FPath, "[Processing]\nDPI=75\n");
    for (const int mode : {PerspectiveNone, PerspectiveAuto, PerspectiveManual}) {
        EXPECT_EQ(LoadProcessingConfig({"300", 0, 21, mode}, FPath).Perspective, mode);
    }
}

TEST_F(SettingsFileTest, WHSizeIsAtLeastEight) {
    const std::pair<const char*, int> cases[] = {
        {"WHSize=3", 8}, {"WHSize=40", 40}, {"WHSize=0x10", 16}, {"WHSize=big", 8}, {"", 8}};
    for (const auto& [line, expected] : cases) {
        WriteBytes(FPath, QByteArray("[Config]\n") + line + "\n");
        EXPECT_EQ(ReadConfigWHSize(FPath), expected) << line;
    }
}

TEST_F(SettingsFileTest, SaveThenLanguageGivesTheDocumentedFile) {
    SaveProcessingConfig(TProcessingConfig(), FPath);
    WriteConfigLanguage("en", FPath);
    EXPECT_EQ(ReadBytes(FPath), "[Processing]\n"
                                "DPI=300\n"
                                "Rotation=0\n"
                                "Contrast=21\n"
                                "Perspective=2\n"
                                "\n"
                                "[Config]\n"
                                "Language=en\n");
    EXPECT_EQ(ReadConfigLanguage(FPath), "en");
}

TEST_F(SettingsFileTest, SaveKeepsOtherKeysAndLoadsBack) {
    WriteBytes(FPath, "[Config]\nLanguage=pl\nWHSize=12\n\n[Processing]\nDPI=75\nMine=1\n");
    const TProcessingConfig saved{"1200", 2, 77, PerspectiveAuto};
    SaveProcessingConfig(saved, FPath);
    EXPECT_EQ(ReadBytes(FPath), "[Config]\nLanguage=pl\nWHSize=12\n\n"
                                "[Processing]\nDPI=1200\nMine=1\nRotation=2\nContrast=77\n"
                                "Perspective=1\n");
    EXPECT_EQ(LoadProcessingConfig(TProcessingConfig(), FPath), saved);
    EXPECT_EQ(ReadConfigWHSize(FPath), 12);
}

TEST_F(SettingsFileTest, FailedSaveNamesTheFile) {
    QDir().mkpath(FPath); // a folder where the file should be
    try {
        SaveProcessingConfig(TProcessingConfig(), FPath);
        FAIL() << "no error";
    } catch (const TError& error) {
        EXPECT_EQ(error.Text(), "Unable to write to " + FPath);
    }
    EXPECT_THROW(WriteConfigLanguage("de", FPath), TError);
}

} // namespace
} // namespace bitonix
