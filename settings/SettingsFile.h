// The per-user settings file: where it lives, the processing settings of the
// main window, and the [Config] keys of the interface language.
//
// Operations: GetConfigFile, LoadProcessingConfig, SaveProcessingConfig,
// ReadConfigLanguage, ReadConfigWHSize, WriteConfigLanguage.
#pragma once

#include <QString>
#include <QStringList>

namespace bitonix {

// Items of the resolution list, in list order ("75" ... "1200").
QStringList DpiItems();
// Number of items of the rotation list: 0 none, 1 90° left, 2 90° right, 3 180°.
inline constexpr int RotationItemCount = 4;
// Range of the black-intensity slider.
inline constexpr int ContrastMin = 1;
inline constexpr int ContrastMax = 100;
// Codes of the straightening mode as stored under Perspective.
inline constexpr int PerspectiveNone = 0;   // rbPerspNone, pmNone
inline constexpr int PerspectiveAuto = 1;   // rbPerspAuto, pmAuto
inline constexpr int PerspectiveManual = 2; // rbPerspSemi, pmSemi

// The four stored processing settings, as the main window's controls hold them.
// A default-constructed value is the window's start-up state.
struct TProcessingConfig {
    QString DPI = QStringLiteral("300"); // text of the selected ComboBox1 item
    int Rotation = 0;                    // index of cbRotation
    int Contrast = 21;                   // position of tbContrast
    int Perspective = PerspectiveManual; // code of the checked straightening button

    bool operator==(const TProcessingConfig&) const = default;
};

// Full path of the settings file: <GenericConfigLocation>/Bitonix/bitonix.ini
// (Linux: ~/.config/Bitonix/bitonix.ini, or under $XDG_CONFIG_HOME). Creates
// the Bitonix folder when missing; the file itself is made by the first write.
// Throws TError "Unable to create the folder <path>" when the folder cannot be
// made.
QString GetConfigFile();

// Reads [Processing] from `configFile`, with `current` (the controls' present
// state) as the default of every key, and returns the state to show:
//  - DPI is taken only when it equals an item of DpiItems() ignoring case (the
//    item's own spelling is returned); any other text keeps current.DPI;
//  - Rotation is taken only when 0 <= value < RotationItemCount;
//  - Contrast is clamped to [ContrastMin, ContrastMax];
//  - Perspective 0 and 1 are kept, any other value becomes PerspectiveManual.
// A missing file, section or key, or an unreadable integer, gives the default;
// nothing is written.
TProcessingConfig LoadProcessingConfig(const TProcessingConfig& current,
                                       const QString& configFile);

// Writes DPI, Rotation, Contrast and Perspective of `config` into [Processing]
// of `configFile` in one atomic replacement; other keys and sections stay.
// Throws TError "Unable to write to <path>".
void SaveProcessingConfig(const TProcessingConfig& config,
                          const QString& configFile);

// [Config] Language: the chosen language code, empty when none was chosen.
QString ReadConfigLanguage(const QString& configFile);

// [Config] WHSize: the binarisation window half-size in pixels, default 8,
// raised to 8 when below. Only ever read; users set it by hand.
int ReadConfigWHSize(const QString& configFile);

// [Options] PageWorkers: pages prepared and binarised at once by the
// window's runs, default 1 (one page at a time), clamped to
// [1, KMaxPageWorkers]. Only ever read.
inline constexpr int KMaxPageWorkers = 64;
int ReadOptionPageWorkers(const QString& configFile);

// Sets [Config] Language to `code`. Throws TError "Unable to write to <path>".
void WriteConfigLanguage(const QString& code, const QString& configFile);

} // namespace bitonix
