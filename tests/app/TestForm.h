// The main window with its message boxes, file manager and event pumping
// watched by the test instead of shown.
#pragma once

#include "QtPrint.h"
#include "WindowFit.h"
#include "app/MainWindow.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace bitonix::test {

struct TShownBox {
    QMessageBox::Icon Icon;
    QString Title;
    QString Text;
    bool RunningWhenShown; // BatchRunning() at the moment the box came up
};

class TTestForm : public TForm1 {
public:
    TTestForm(const QStringList& files, const QString& configFile) : TForm1(files, configFile) {}

    std::vector<TShownBox> Boxes;
    QStringList ShownInFileManager;
    QStringList OpenedWebSites;
    QStringList StatusTexts;
    // Called at every pump of a run with the pump's number (1, 2, ...).
    std::function<void(int)> OnPump;
    int Pumps = 0;

    void SetStatusText(const QString& text) override {
        StatusTexts.append(text);
        TForm1::SetStatusText(text);
    }
    void Pump() override {
        TForm1::Pump();
        ++Pumps;
        if (OnPump) {
            OnPump(Pumps);
        }
    }

protected:
    void ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text) override {
        Boxes.push_back({icon, title, text, BatchRunning()});
    }
    void ShowOutputInFileManager(const QString& path) override { ShownInFileManager.append(path); }
    void OpenWebSite(const QString& url) override { OpenedWebSites.append(url); }
};

// A scratch folder and a settings file inside it.
struct TScratch {
    QTemporaryDir Dir;
    QString Path(const QString& name) const { return Dir.path() + QLatin1Char('/') + name; }
    QString Config() const { return Path(QStringLiteral("bitonix.ini")); }
};

} // namespace bitonix::test
