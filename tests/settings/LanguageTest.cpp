// Languages: Windows-1250 decoding, the choice of language, the fallbacks of
// the string table, and the shipped language files.
#include "settings/Cp1250.h"
#include "settings/LangFile.h"
#include "settings/LangKeys.h"
#include "settings/LanguageConfig.h"

#include "SettingsTestFiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <iconv.h>

namespace bitonix {
namespace {

using test::ReadBytes;
using test::WriteBytes;

const QString SourceDir = QStringLiteral(BITONIX_SOURCE_DIR);

// One byte through the C library's converter; U+FFFD where it has no mapping.
QString IconvCp1250(char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("iconv has no CP1250");
    }
    char in[1] = {byte};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof(out);
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1)) {
        return QString(QChar(0xFFFD));
    }
    return QString::fromUtf8(out, static_cast<qsizetype>(sizeof(out) - outLeft));
}

TEST(Cp1250, EveryByteDecodesAsTheCLibraryDoes) {
    for (int value = 0; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        EXPECT_EQ(DecodeCp1250(QByteArrayView(&byte, 1)), IconvCp1250(byte)) << value;
    }
}

TEST(Cp1250, DecodesPolishAndGermanLetters) {
    EXPECT_EQ(DecodeCp1250("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"), u"ąćęłńóśźż");
    EXPECT_EQ(DecodeCp1250("\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"), u"ĄĆĘŁŃÓŚŹŻ");
    EXPECT_EQ(DecodeCp1250("\xE4\xF6\xFC\xDF\xC4\xD6\xDC 90\xB0"), u"äöüßÄÖÜ 90°");
}

TEST(Language, SystemNameGivesTheCode) {
    const std::pair<const char*, const char*> cases[] = {
        {"Polish", "pl"}, {"German", "de"},  {"Swiss German", "de"},
        {"French", "en"}, {"English", "en"}, {"polish", "en"},
        {"", "en"},
    };
    for (const auto& [name, code] : cases) {
        EXPECT_EQ(LanguageFromSystemName(name), code) << name;
    }
}

// A program folder with a lang/ folder of its own and a settings path beside it.
class LanguageTest : public ::testing::Test {
protected:
    void CopyShippedLangFiles() {
        for (const char* name : {"en.ini", "pl.ini", "de.ini"}) {
            WriteBytes(FDir.filePath(QStringLiteral("lang/") + name),
                       ReadBytes(SourceDir + "/lang/" + name));
        }
    }
    void WriteLang(const QString& code, const QByteArray& bytes) {
        WriteBytes(GetLangFile(FDir.path(), code), bytes);
    }
    TIniConfig Load(const QString& systemLanguage) {
        return loadiniconfig(FDir.path(), FConfig, systemLanguage);
    }

    QTemporaryDir FDir;
    QString FConfig = FDir.filePath(QStringLiteral("config/bitonix.ini"));
};

TEST_F(LanguageTest, PolishSystemWithoutSettingsGivesPolishAndWritesNothing) {
    CopyShippedLangFiles();
    const TIniConfig config = Load("Polish");
    EXPECT_EQ(config.language, "pl");
    EXPECT_EQ(config.WHSize, 8);
    EXPECT_EQ(config.Strings.SBtnRemove, u"Usuń");
    EXPECT_EQ(config.Strings.SRot90L, u"90° w lewo");
    EXPECT_FALSE(QFileInfo::exists(FConfig));
}

TEST_F(LanguageTest, FrenchSystemGivesEnglish) {
    CopyShippedLangFiles();
    const TIniConfig config = Load("French");
    EXPECT_EQ(config.language, "en");
    EXPECT_EQ(config.Strings.SBtnRemove, "Remove");
}

TEST_F(LanguageTest, StoredLanguageWinsOverTheSystem) {
    CopyShippedLangFiles();
    WriteBytes(FConfig, "[Config]\nLanguage=de\nWHSize=3\n");
    const TIniConfig config = Load("Polish");
    EXPECT_EQ(config.language, "de");
    EXPECT_EQ(config.WHSize, 8);
    EXPECT_EQ(config.Strings.SBtnClose, u"Schließen");
}

TEST_F(LanguageTest, MissingKeysFallBackToEnglishThenBuiltIn) {
    WriteBytes(FConfig, "[Config]\nLanguage=xx\n");
    WriteLang("en", "[Strings]\nbtnRemove=English remove\nbtnStop=\nbtnClose=English close\n");
    WriteLang("xx", "; a partial translation\n"
                    "[Other]\nbtnAddFiles=not in Strings\n"
                    "[strings]\nBTNCLEAR = Own clear \nbtnStart=\nbtnClose=Own close\n");
    const TIniConfig config = Load("English");
    const TLangStrings builtIn;
    EXPECT_EQ(config.language, "xx");
    EXPECT_EQ(config.Strings.SBtnClear, "Own clear");
    EXPECT_EQ(config.Strings.SBtnClose, "Own close");
    EXPECT_EQ(config.Strings.SBtnRemove, "English remove");
    EXPECT_EQ(config.Strings.SBtnAddFiles, builtIn.SBtnAddFiles);
    EXPECT_EQ(config.Strings.SBtnStart, "");
    EXPECT_EQ(config.Strings.SBtnStop, "");
    EXPECT_EQ(config.Strings.SHintVelkorEu, builtIn.SHintVelkorEu);
}

TEST_F(LanguageTest, NoLangFolderGivesTheBuiltInTexts) {
    const TIniConfig config = Load("German");
    const TLangStrings builtIn;
    EXPECT_EQ(config.language, "de");
    for (const TLangKey& entry : LangKeys()) {
        EXPECT_EQ(config.Strings.*entry.Field, builtIn.*entry.Field) << entry.Key;
    }
}

TEST_F(LanguageTest, Utf8FilesAreStillReadAsCp1250) {
    WriteBytes(FConfig, "[Config]\nLanguage=xx\n");
    // With a byte-order mark the header line is no header: nothing is found.
    WriteLang("xx", "\xEF\xBB\xBF[Strings]\nbtnRemove=Usu\xC5\x84\n");
    EXPECT_EQ(Load("English").Strings.SBtnRemove, "Remove");
    // Without one the keys are found, but their letters are cp1250 readings.
    WriteLang("xx", "[Strings]\nbtnRemove=Usu\xC5\x84\n");
    EXPECT_EQ(Load("English").Strings.SBtnRemove, u"UsuĹ„");
}

// The table's fields in declaration order, read from the header itself.
QStringList DeclaredFields() {
    const QString header = QString::fromUtf8(ReadBytes(SourceDir + "/settings/LangStrings.h"));
    QStringList fields;
    const QRegularExpression field(QStringLiteral(R"(QString (S\w+) =)"));
    for (const QRegularExpressionMatch& match : field.globalMatch(header)) {
        fields << match.captured(1);
    }
    return fields;
}

TEST(LangKeys, EveryFieldHasItsKeyInDeclarationOrder) {
    const QStringList fields = DeclaredFields();
    ASSERT_EQ(fields.size(), LangKeyCount);
    ASSERT_EQ(static_cast<int>(LangKeys().size()), LangKeyCount);
    ASSERT_EQ(sizeof(TLangStrings), LangKeyCount * sizeof(QString));
    const TLangStrings strings;
    const auto* base = reinterpret_cast<const char*>(&strings);
    for (int i = 0; i < LangKeyCount; ++i) {
        const TLangKey& entry = LangKeys()[static_cast<size_t>(i)];
        const QString key = QString::fromLatin1(entry.Key);
        EXPECT_EQ("S" + key.left(1).toUpper() + key.mid(1), fields[i]);
        EXPECT_EQ(reinterpret_cast<const char*>(&(strings.*entry.Field)) - base,
                  static_cast<std::ptrdiff_t>(i * sizeof(QString)))
            << entry.Key;
    }
}

TEST(LangFiles, EachHoldsExactlyTheKeysAsCp1250) {
    QStringList expected;
    for (const TLangKey& entry : LangKeys()) {
        expected << QString::fromLatin1(entry.Key);
    }
    expected.sort();
    for (const char* name : {"en.ini", "pl.ini", "de.ini"}) {
        const QString text = DecodeCp1250(ReadBytes(SourceDir + "/lang/" + name));
        EXPECT_FALSE(text.contains(QChar(0xFFFD))) << name;
        QStringList keys;
        bool inStrings = false;
        for (const QString& rawLine : text.split(u'\n')) {
            const QString line = rawLine.trimmed();
            if (line.startsWith(u'[')) {
                inStrings = line == "[Strings]";
            } else if (inStrings && !line.isEmpty() && !line.startsWith(u';')) {
                keys << line.section(u'=', 0, 0).trimmed();
            }
        }
        keys.sort();
        EXPECT_EQ(keys, expected) << name;

        const TIniDocument document = LoadLangFile(SourceDir + "/lang/" + name);
        for (const QString& key : expected) {
            EXPECT_FALSE(document.Value("Strings", key).value_or("").isEmpty())
                << name << " " << key.toStdString();
        }
        EXPECT_TRUE(document.Value("Strings", "updNewVersionMsg")->contains("%s")) << name;
    }
    EXPECT_EQ(LoadLangFile(SourceDir + "/lang/pl.ini").Value("Strings", "lblContrastHigh"),
              u"Jaśniej");
    EXPECT_EQ(LoadLangFile(SourceDir + "/lang/de.ini").Value("Strings", "rot90R"),
              u"90° nach rechts");
}

} // namespace
} // namespace bitonix
