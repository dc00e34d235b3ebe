// The settings file: its location and the rules of each stored key.
#include "settings/SettingsFile.h"

#include "settings/ProfileFile.h"
#include "support/Error.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace bitonix {

namespace {

const QString SectionConfig = QStringLiteral("Config");
const QString SectionProcessing = QStringLiteral("Processing");
constexpr int MinWHSize = 8;

} // namespace

QStringList DpiItems() {
    return {QStringLiteral("75"),  QStringLiteral("100"), QStringLiteral("150"),
            QStringLiteral("200"), QStringLiteral("300"), QStringLiteral("600"),
            QStringLiteral("1200")};
}

QString GetConfigFile() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString folder = base + QStringLiteral("/Bitonix");
    // An empty base would put the folder at the file-system root.
    if (base.isEmpty() || !QDir().mkpath(folder)) {
        throw TError(QStringLiteral("Unable to create the folder %1").arg(folder));
    }
    return folder + QStringLiteral("/bitonix.ini");
}

TProcessingConfig LoadProcessingConfig(const TProcessingConfig& current,
                                       const QString& configFile) {
    const TProfileFile file(configFile);
    TProcessingConfig result = current;

    const QString dpi = file.ReadString(SectionProcessing, QStringLiteral("DPI"), current.DPI);
    for (const QString& item : DpiItems()) {
        if (item.compare(dpi, Qt::CaseInsensitive) == 0) {
            result.DPI = item;
        }
    }

    const int rotation =
        file.ReadInteger(SectionProcessing, QStringLiteral("Rotation"), current.Rotation);
    if (rotation >= 0 && rotation < RotationItemCount) {
        result.Rotation = rotation;
    }

    result.Contrast = std::clamp(
        file.ReadInteger(SectionProcessing, QStringLiteral("Contrast"), current.Contrast),
        ContrastMin, ContrastMax);

    const int perspective =
        file.ReadInteger(SectionProcessing, QStringLiteral("Perspective"), current.Perspective);
    result.Perspective = perspective == PerspectiveNone || perspective == PerspectiveAuto
                             ? perspective
                             : PerspectiveManual;
    return result;
}

void SaveProcessingConfig(const TProcessingConfig& config, const QString& configFile) {
    TProfileFile(configFile)
        .WriteStrings(SectionProcessing,
                      {{QStringLiteral("DPI"), config.DPI},
                       {QStringLiteral("Rotation"), QString::number(config.Rotation)},
                       {QStringLiteral("Contrast"), QString::number(config.Contrast)},
                       {QStringLiteral("Perspective"), QString::number(config.Perspective)}});
}

QString ReadConfigLanguage(const QString& configFile) {
    return TProfileFile(configFile)
        .ReadString(SectionConfig, QStringLiteral("Language"), QString());
}

int ReadConfigWHSize(const QString& configFile) {
    return std::max(
        TProfileFile(configFile).ReadInteger(SectionConfig, QStringLiteral("WHSize"), MinWHSize),
        MinWHSize);
}

int ReadOptionPageWorkers(const QString& configFile) {
    const int workers =
        TProfileFile(configFile)
            .ReadInteger(QStringLiteral("Options"), QStringLiteral("PageWorkers"), 1);
    return std::clamp(workers, 1, KMaxPageWorkers);
}

void WriteConfigLanguage(const QString& code, const QString& configFile) {
    TProfileFile(configFile).WriteString(SectionConfig, QStringLiteral("Language"), code);
}

} // namespace bitonix
