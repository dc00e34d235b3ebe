// Text, containment and overlap checks on shown windows, and the child run at
// another scale factor.
#include "WindowFit.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <cmath>

namespace bitonix::test {

namespace {

const char* const KScaleVariable = "BITONIX_FIT_SCALE_CHILD";

QString NameOf(const QWidget* widget) {
    const QString name = widget->objectName();
    return name.isEmpty()
               ? QString::fromLatin1(widget->metaObject()->className()) + QStringLiteral("(\"") +
                     (qobject_cast<const QAbstractButton*>(widget)
                          ? static_cast<const QAbstractButton*>(widget)->text()
                      : qobject_cast<const QLabel*>(widget)
                          ? static_cast<const QLabel*>(widget)->text()
                          : QString()) +
                     QStringLiteral("\")")
               : name;
}

QString SizeText(QSize size) {
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

void Report(QStringList& problems, const QWidget* widget, QSize needs, QRect has) {
    if (needs.width() > has.width() || needs.height() > has.height()) {
        problems << QStringLiteral("%1: text needs %2, has %3")
                        .arg(NameOf(widget), SizeText(needs), SizeText(has.size()));
    }
}

// The size `text` takes in `font` on one line (several lines if it holds
// line breaks).
QSize TextSize(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    return metrics.boundingRect(QRect(0, 0, 100000, 100000), Qt::TextExpandTabs, text).size();
}

void CheckLabel(QStringList& problems, const QLabel& label) {
    if (label.text().isEmpty()) {
        return;
    }
    QRect room = label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(),
                                               -label.margin());
    if (label.wordWrap()) {
        const int needed = label.heightForWidth(label.width());
        Report(problems, &label, QSize(0, needed), QRect(0, 0, 0, label.height()));
        return;
    }
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
    QSize needs;
    if (rich) {
        QTextDocument document;
        document.setDefaultFont(label.font());
        document.setDocumentMargin(0);
        document.setHtml(label.text());
        needs = QSize(static_cast<int>(std::ceil(document.idealWidth())),
                      static_cast<int>(std::ceil(document.size().height())));
    } else {
        needs = TextSize(label.font(), label.text());
    }
    Report(problems, &label, needs, room);
}

QStyleOptionButton ButtonOption(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    if (const auto* push = qobject_cast<const QPushButton*>(&button)) {
        if (push->autoDefault()) {
            option.features |= QStyleOptionButton::AutoDefaultButton;
        }
        if (push->isDefault()) {
            option.features |= QStyleOptionButton::DefaultButton;
        }
        if (push->isFlat()) {
            option.features |= QStyleOptionButton::Flat;
        }
    }
    return option;
}

// The label of a push button: the icon left of the text, 4 pixels between
// them, as the style draws it.
void CheckPushButton(QStringList& problems, const QPushButton& button) {
    const QStyleOptionButton option = ButtonOption(button);
    const QRect room =
        button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    QSize needs = button.text().isEmpty() ? QSize() : TextSize(button.font(), button.text());
    if (!button.icon().isNull()) {
        const QSize icon = button.iconSize();
        needs = QSize(icon.width() + (needs.width() > 0 ? needs.width() + 4 : 0),
                      qMax(icon.height(), needs.height()));
    }
    Report(problems, &button, needs, room);
}

void CheckIndicatorButton(QStringList& problems, const QAbstractButton& button,
                          QStyle::SubElement contents) {
    if (button.text().isEmpty()) {
        return;
    }
    const QStyleOptionButton option = ButtonOption(button);
    const QRect room = button.style()->subElementRect(contents, &option, &button);
    Report(problems, &button, TextSize(button.font(), button.text()), room);
}

void CheckComboBox(QStringList& problems, const QComboBox& combo) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = combo.isEditable();
    const QRect room = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, &combo);
    for (int i = 0; i < combo.count(); ++i) {
        const QSize needs = TextSize(combo.font(), combo.itemText(i));
        if (needs.width() > room.width() || needs.height() > room.height()) {
            problems << QStringLiteral("%1: item \"%2\" needs %3, has %4")
                            .arg(NameOf(&combo), combo.itemText(i), SizeText(needs),
                                 SizeText(room.size()));
        }
    }
}

bool IsControl(const QWidget* widget) {
    if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
        qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
        qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const QProgressBar*>(widget) ||
        qobject_cast<const QAbstractScrollArea*>(widget)) {
        return true;
    }
    if (qobject_cast<const QSizeGrip*>(widget)) {
        return false;
    }
    for (const QObject* child : widget->children()) {
        if (child->isWidgetType() && static_cast<const QWidget*>(child)->isVisible()) {
            return false;
        }
    }
    return true;
}

// The visible controls of `window`, none inside another.
QList<const QWidget*> Controls(const QWidget& window) {
    QList<const QWidget*> found;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isVisible() && !widget->isWindow() && widget->window() == &window &&
            IsControl(widget)) {
            found << widget;
        }
    }
    QList<const QWidget*> outer;
    for (const QWidget* widget : found) {
        bool inside = false;
        for (const QWidget* up = widget->parentWidget(); up != nullptr && up != &window;
             up = up->parentWidget()) {
            inside = inside || found.contains(up);
        }
        if (!inside) {
            outer << widget;
        }
    }
    return outer;
}

QRect InWindow(const QWidget& window, const QWidget* widget) {
    return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
}

} // namespace

QStringList WindowFitProblems(const QWidget& window) {
    QStringList problems;
    const QList<const QWidget*> controls = Controls(window);
    for (const QWidget* control : controls) {
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            CheckLabel(problems, *label);
        } else if (const auto* push = qobject_cast<const QPushButton*>(control)) {
            CheckPushButton(problems, *push);
        } else if (const auto* check = qobject_cast<const QCheckBox*>(control)) {
            CheckIndicatorButton(problems, *check, QStyle::SE_CheckBoxContents);
        } else if (const auto* radio = qobject_cast<const QRadioButton*>(control)) {
            CheckIndicatorButton(problems, *radio, QStyle::SE_RadioButtonContents);
        } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
            CheckComboBox(problems, *combo);
        }
        const QRect rect = InWindow(window, control);
        for (const QWidget* up = control->parentWidget(); up != nullptr; up = up->parentWidget()) {
            const QRect parent = up == &window ? window.rect() : InWindow(window, up);
            if (!parent.contains(rect)) {
                problems << QStringLiteral("%1: outside %2").arg(NameOf(control), NameOf(up));
                break;
            }
            if (up == &window) {
                break;
            }
        }
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            if (InWindow(window, controls[i]).intersects(InWindow(window, controls[j]))) {
                problems << QStringLiteral("%1 overlaps %2")
                                .arg(NameOf(controls[i]), NameOf(controls[j]));
            }
        }
    }
    return problems;
}

void PressKey(Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        throw std::runtime_error("no widget has the keyboard focus");
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

double ChildScaleFactor() {
    return qEnvironmentVariable(KScaleVariable).toDouble();
}

int RunAtScaleFactor(double factor, const QString& filter, QString* output) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(factor));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QString::fromLatin1(KScaleVariable), QString::number(factor));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + filter});
    const bool finished = child.waitForFinished(300000);
    const QString text = QString::fromLocal8Bit(child.readAll());
    if (output != nullptr) {
        *output = text;
    }
    // A filter that matches nothing would pass without checking anything.
    if (!finished || child.exitStatus() != QProcess::NormalExit ||
        text.contains(QStringLiteral("Running 0 tests"))) {
        return -1;
    }
    return child.exitCode();
}

QString SuiteFailuresAtScaleFactorTwo(const char* suite) {
    const QString name = QString::fromLatin1(suite);
    QString output;
    const int code = RunAtScaleFactor(
        2, name + QStringLiteral(".*:-") + name + QStringLiteral(".AtScaleFactorTwo"), &output);
    return code == 0 ? QString() : output;
}

} // namespace bitonix::test
