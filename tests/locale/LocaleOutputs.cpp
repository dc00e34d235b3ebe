// locale_tests OUTDIR: writes every kind of file the program makes into
// OUTDIR — PDFs of a run over inputs of every kind in both modes, a settings
// file, and the text table read from each language file — plus locale.txt,
// which says what the C library's locale formats a number as. Run under two
// locales, the files must be equal byte for byte (CompareLocales.cmake).
#include "RecordingHost.h"
#include "TestImages.h"
#include "TestPdf.h"
#include "pipeline/BatchRun.h"
#include "settings/LangKeys.h"
#include "settings/LanguageConfig.h"
#include "settings/SettingsFile.h"
#include "support/Error.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <clocale>
#include <cstdio>

using namespace bitonix;
using namespace bitonix::test;

namespace {

std::tm FixedTime() {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 9;
    t.tm_hour = 13;
    t.tm_min = 5;
    t.tm_sec = 7;
    return t;
}

void WriteText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw TError(QStringLiteral("Unable to write to ") + path);
    }
}

// Inputs of every kind, with sizes that are no round numbers, so that the
// page placement and the numbers in the PDF have fractions to format.
QStringList MakeInputs(const QString& in) {
    const QImage page = MakeDocumentImage(333, 471);
    page.save(in + QStringLiteral("photo.jpg"));
    page.save(in + QStringLiteral("scan.png"));
    page.save(in + QStringLiteral("pic.bmp"), "BMP");
    return {in + QStringLiteral("photo.jpg"), in + QStringLiteral("scan.png"),
            in + QStringLiteral("pic.bmp"),
            WriteColourTiff(in + QStringLiteral("three.tiff"), 3, 157, 101),
            WritePdf(in + QStringLiteral("doc.pdf"), {{612.5, 791.25}, {841.89, 595.28, 90}})};
}

void RunBoth(const QString& out) {
    const QString in = out + QStringLiteral("/in/");
    const QString tmp = out + QStringLiteral("/tmp");
    QDir().mkpath(in);
    QDir().mkpath(tmp);
    TRunSettings settings;
    settings.Files = MakeInputs(in);
    settings.ProgramDir = QStringLiteral(BITONIX_BIN_DIR) + QLatin1Char('/');
    settings.TempParent = tmp;
    settings.DpiText = QStringLiteral("75");
    settings.Contrast = 33;
    settings.Clock = FixedTime;
    const TLangStrings strings;
    {
        TRecordingHost host;
        RunBatch(settings, strings, host);
    }
    settings.Merged = true;
    settings.MergedOutput = out + QStringLiteral("/merged.pdf");
    TRecordingHost host;
    RunBatch(settings, strings, host);
    // The separate PDFs lie beside their inputs; the inputs are no outputs.
    for (const QString& name : QDir(in).entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
        if (name != QStringLiteral("doc.pdf")) {
            QFile::rename(in + name, out + QLatin1Char('/') + name);
        }
    }
    QDir(in).removeRecursively();
    QDir(tmp).removeRecursively();
}

void WriteSettings(const QString& out) {
    const QString config = out + QStringLiteral("/bitonix.ini");
    WriteText(config, "[Config]\nWHSize=12\n");
    SaveProcessingConfig(TProcessingConfig{QStringLiteral("1200"), 3, 100, 0}, config);
    WriteConfigLanguage(QStringLiteral("de"), config);
}

void WriteLanguageTables(const QString& out) {
    for (const char* code : {"en", "pl", "de"}) {
        const QString config =
            out + QStringLiteral("/lang-") + QLatin1String(code) + QStringLiteral(".ini");
        WriteText(config, QByteArray("[Config]\nLanguage=") + code + '\n');
        const TIniConfig ini =
            loadiniconfig(QStringLiteral(BITONIX_BIN_DIR), config, QStringLiteral("English"));
        QByteArray table;
        for (const TLangKey& key : LangKeys()) {
            table += QByteArray(key.Key) + '=' + (ini.Strings.*key.Field).toUtf8() + '\n';
        }
        QFile::remove(config);
        WriteText(out + QStringLiteral("/strings-") + QLatin1String(code) + QStringLiteral(".txt"),
                  table);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv); // sets the C library's locale from the environment
    if (argc != 2) {
        std::fprintf(stderr, "usage: locale_tests OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    try {
        QDir().mkpath(out);
        char number[32];
        std::snprintf(number, sizeof number, "%.2f", 1.25);
        WriteText(out + QStringLiteral("/locale.txt"),
                  QByteArray(std::setlocale(LC_NUMERIC, nullptr)) + ' ' + number + '\n');
        RunBoth(out);
        WriteSettings(out);
        WriteLanguageTables(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "locale_tests: %s\n", e.what());
        return 1;
    }
    return 0;
}
