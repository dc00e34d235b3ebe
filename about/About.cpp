// TAbout: the box's controls and layout, its showing, the licence text, the
// language switch and the web link.
#include "about/About.h"

#include "about/VersionCheck.h"
#include "settings/SettingsFile.h"
#include "support/AtLeast.h"
#include "support/Error.h"
#include "support/MessageBox.h"
#include "support/ProgramDir.h"
#include "support/Version.h"
#include "support/WindowTools.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <cmath>

namespace bitonix {

namespace {

// Client size of the box at its design texts, in pixels: the least it takes.
constexpr QSize KBoxSize(482, 426);
// Design sizes of the controls that grow with their texts.
constexpr QSize KMemoSize(465, 281);
constexpr QSize KUpdateButton(160, 32);
constexpr QSize KCloseButton(104, 32);
constexpr int KLanguageListWidth = 89;

// The language codes of cbb1's items, in item order.
const QStringList& LanguageCodes() {
    static const QStringList codes = {QStringLiteral("pl"), QStringLiteral("en"),
                                      QStringLiteral("de")};
    return codes;
}

// The whole text of the resource or file at `path`, decoded as UTF-8 with a
// leading byte-order mark dropped. Throws TError with the reason.
QString ReadUtf8Text(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw TError(file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw TError(file.errorString());
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        throw TError("The text is not UTF-8");
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

TAbout::TAbout(TAboutOwner& owner, QWidget* parent)
    : QDialog(parent), FOwner(owner), FUpdateServer(UpdateServer()) {
    setObjectName(QStringLiteral("About"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    CreateControls();
    setWindowTitle(FOwner.Strings().SAboutTitle);
    setFixedSize(KBoxSize);
}

// Name, author and link at the top left, the logo at the top right, the
// licence filling the middle, the language list at the bottom left and the
// two buttons at the bottom right.
void TAbout::CreateControls() {
    Label1 = Named(new TAtLeast<QLabel>(QSize(0, 38), this), "Label1");
    Label1->setFont(WithPointSize(font(), 20, false));

    Label2 =
        Named(new TAtLeast<QLabel>(QSize(0, 24), QStringLiteral("© The Bitonix developers"), this),
              "Label2");
    Label2->setFont(WithPointSize(font(), 12, true));

    Image1 = Named(new QLabel(this), "Image1");
    Image1->setFixedSize(57, 58);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QIcon(QStringLiteral(":/bitonix.svg")).pixmap(QSize(57, 58)));

    Label4 = Named(new QLabel(this), "Label4");
    SetWebLink(*Label4, KWebSiteUrl, QUrl(KWebSiteUrl).host());
    connect(Label4, &QLabel::linkActivated, this,
            [this] { Guarded(this, [this] { Label4Click(); }); });

    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setTabChangesFocus(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setMinimumSize(KMemoSize);

    Label3 = Named(new QLabel(this), "Label3");

    cbb1 = Named(new TAtLeast<QComboBox>(QSize(KLanguageListWidth, 0), this), "cbb1");
    cbb1->addItems(
        {QStringLiteral("Polski"), QStringLiteral("English"), QStringLiteral("Deutsch")});
    cbb1->setCurrentIndex(0);

    btn1 = Named(new TAtLeast<QPushButton>(KUpdateButton, this), "btn1");
    btn1->setIconSize(KButtonImageSize);
    connect(btn1, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btn1Click(); }); });

    // Enter closes the box with the chosen language unless another button
    // has the focus; Escape closes it without applying anything.
    BitBtn1 = Named(new TAtLeast<QPushButton>(KCloseButton, this), "BitBtn1");
    BitBtn1->setIconSize(KButtonImageSize);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { BitBtn1Click(); }); });

    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(Label1);
    names->addWidget(Label2);
    names->addWidget(Label4, 0, Qt::AlignLeft);
    auto* top = new QHBoxLayout;
    top->addLayout(names, 1);
    top->addWidget(Image1, 0, Qt::AlignTop);

    auto* language = new QVBoxLayout;
    language->setSpacing(2);
    language->addWidget(Label3);
    language->addWidget(cbb1, 0, Qt::AlignLeft);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(18);
    bottom->addLayout(language);
    bottom->addStretch(1);
    bottom->addWidget(btn1, 0, Qt::AlignBottom);
    bottom->addWidget(BitBtn1, 0, Qt::AlignBottom);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 9, 3);
    column->setSpacing(4);
    column->addLayout(top);
    column->addWidget(Memo1, 1);
    column->addLayout(bottom);

    setTabOrder(Label4, Memo1);
    setTabOrder(Memo1, cbb1);
    setTabOrder(cbb1, btn1);
    setTabOrder(btn1, BitBtn1);
}

void TAbout::setVisible(bool visible) {
    if (visible && !isVisible()) {
        FormShow();
    }
    QDialog::setVisible(visible);
}

void TAbout::FormShow() {
    LoadLicenseText();

    const TLangStrings& s = FOwner.Strings();
    Label1->setText(FOwner.ProgName());
    setWindowTitle(s.SAboutTitle);
    BitBtn1->setText(s.SBtnClose);
    BitBtn1->setIcon(FOwner.Image(QStringLiteral("close")));
    btn1->setText(s.SBtnUpdate);
    btn1->setIcon(FOwner.Image(QStringLiteral("update")));
    Label3->setText(s.SLblLanguage);

    cbb1->setToolTip(s.SHintLanguage);
    btn1->setToolTip(s.SHintBtnUpdate);
    BitBtn1->setToolTip(s.SHintBtnClose);
    Label4->setToolTip(s.SHintVelkorBiz);

    const qsizetype item = LanguageCodes().indexOf(FOwner.Language());
    if (item >= 0) {
        cbb1->setCurrentIndex(static_cast<int>(item));
    }

    FitMemoToLicence();
    setFixedSize(KBoxSize.expandedTo(layout()->totalMinimumSize()));
    BitBtn1->setFocus(Qt::OtherFocusReason);
    CentreOnScreen(*this, parentWidget() != nullptr ? parentWidget()->screen() : screen());
}

void TAbout::LoadLicenseText() {
    Memo1->setUpdatesEnabled(false);
    Memo1->clear();
    try {
        Memo1->setPlainText(ReadUtf8Text(FLicenseResource));
    } catch (const TError& e) {
        Memo1->setPlainText(QStringLiteral("Nie mozna wczytac licencji: ") + e.Text());
    }
    Memo1->setUpdatesEnabled(true);
}

void TAbout::FitMemoToLicence() {
    const QFontMetrics metrics(Memo1->font());
    int widest = 0;
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        if (!line.contains(QLatin1Char(' '))) {
            widest = qMax(widest, metrics.horizontalAdvance(line));
        }
    }
    // The text runs inside the frame, the document margins and the scroll
    // bar; a pixel more keeps the line off the wrapping edge.
    const int margins = 2 * Memo1->frameWidth() +
                        2 * static_cast<int>(std::ceil(Memo1->document()->documentMargin())) +
                        Memo1->verticalScrollBar()->sizeHint().width() + 2;
    Memo1->setMinimumWidth(qMax(KMemoSize.width(), widest + margins));
}

void TAbout::BitBtn1Click() {
    const int item = cbb1->currentIndex();
    const QString chosen =
        (item >= 0 && item < LanguageCodes().size()) ? LanguageCodes()[item] : FOwner.Language();
    try {
        WriteConfigLanguage(chosen, FOwner.ConfigFile());
    } catch (const TError& e) {
        ShowBox(QMessageBox::Critical, e.Text(), QMessageBox::Ok);
        return;
    }
    FOwner.SwitchLanguage(chosen);
    accept();
}

void TAbout::Label4Click() {
    OpenUrl(QUrl(KWebSiteUrl));
}

void TAbout::OpenUrl(const QUrl& url) {
    if (IsWebUrl(url)) {
        OpenInBrowser(url);
    }
}

void TAbout::OpenInBrowser(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

QMessageBox::StandardButton TAbout::ShowBox(QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons) {
    return ShowMessageBox(this, icon, KAppTitle, text, buttons);
}

} // namespace bitonix
