// The one exception type of the program: its message is exactly the text the
// user sees; where it came from travels in separate fields.
//
// Operations: TError (constructors), Text, File, Page, Call, WithFile,
// WithPage, WithCall, ExceptionText.
#pragma once

#include <QString>
#include <exception>
#include <new>
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

    // Context, for logs and for callers that name the place of a failure;
    // never part of Text(). Empty / 0 when unknown.
    const QString& File() const { return FFile; } // the input or output file
    int Page() const { return FPage; }            // 1-based page of that file
    const QString& Call() const { return FCall; } // the library call that failed

    // The setters return the error so it can be thrown in one expression:
    // throw TError(text).WithFile(path).WithPage(3);
    TError& WithFile(const QString& file) {
        FFile = file;
        return *this;
    }
    TError& WithPage(int page) {
        FPage = page;
        return *this;
    }
    TError& WithCall(const QString& call) {
        FCall = call;
        return *this;
    }

private:
    QString FFile;
    int FPage = 0;
    QString FCall;
};

// The text of the exception being handled, for an error box or a terminal:
// a TError's own text, a standard exception's message, or a plain
// description for anything else. Call only inside a catch block.
inline QString ExceptionText() {
    try {
        throw;
    } catch (const TError& e) {
        return e.Text();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Not enough memory to complete the operation.");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error occurred.");
    }
}

} // namespace bitonix
