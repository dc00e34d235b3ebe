// The one exception type of the core: its message is exactly the text the
// user sees; where it came from travels in separate fields.
#pragma once

#include <QString>
#include <stdexcept>
#include <string>

namespace bitonix {

class TError : public std::runtime_error {
public:
    explicit TError(const QString& message) : std::runtime_error(message.toStdString()) {}
    explicit TError(const std::string& message) : std::runtime_error(message) {}
    explicit TError(const char* message) : std::runtime_error(message) {}

    // The user-visible text as Unicode.
    QString Text() const { return QString::fromUtf8(what()); }
};

} // namespace bitonix
