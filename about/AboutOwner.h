// What the About box needs from the window that owns it: the program's name
// and version, the interface texts and language, the button images and the
// settings file, and a way to switch the language. The main window
// implements it; tests implement it with a few fields.
#pragma once

#include "settings/LangStrings.h"

#include <QIcon>
#include <QString>

namespace bitonix {

class TAboutOwner {
public:
    TAboutOwner() = default;
    virtual ~TAboutOwner() = default;
    TAboutOwner(const TAboutOwner&) = delete;
    TAboutOwner& operator=(const TAboutOwner&) = delete;

    // progname ("Bitonix v1.0.3") and prognamever ("1.0.3"; empty when the
    // program carries no version).
    virtual QString ProgName() const = 0;
    virtual QString ProgNameVer() const = 0;
    // The interface string table and the language code it was loaded for.
    virtual const TLangStrings& Strings() const = 0;
    virtual QString Language() const = 0;
    // The button image called `name` ("close", "update"); a null icon when
    // there is none.
    virtual QIcon Image(const QString& name) const = 0;
    // The settings file the language choice is stored in.
    virtual QString ConfigFile() const = 0;
    // Makes `code` the interface language: the owner takes it, reloads its
    // string table (loadiniconfig, which reads the stored choice back from
    // the settings file) and applies it to its controls (ApplyLanguage).
    virtual void SwitchLanguage(const QString& code) = 0;
};

} // namespace bitonix
