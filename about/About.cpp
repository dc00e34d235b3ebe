// TAbout: the box's controls, its showing, the licence text, the language
// switch and the web link.
#include "about/About.h"

#include "about/VersionCheck.h"
#include "app/MainWindow.h"
#include "settings/LanguageConfig.h"
#include "settings/SettingsFile.h"
#include "support/Error.h"
#include "support/MessageBox.h"
#include "support/ProgramDir.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>

namespace bitonix {

namespace {

// Client size of the box, in pixels.
constexpr int KBoxWidth = 482;
constexpr int KBoxHeight = 426;

// The language codes of cbb1's items, in item order.
const QStringList& LanguageCodes() {
    static const QStringList codes = {QStringLiteral("pl"), QStringLiteral("en"),
                                      QStringLiteral("de")};
    return codes;
}

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QFont WithPointSize(QFont font, int points, bool bold) {
    font.setPointSize(points);
    font.setBold(bold);
    return font;
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

TAbout::TAbout(TForm1& form) : QDialog(&form), FForm(form), FUpdateServer(UpdateServer()) {
    setObjectName(QStringLiteral("About"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setFixedSize(KBoxWidth, KBoxHeight);
    CreateControls();
    setWindowTitle(FForm.Strings.SAboutTitle);
}

void TAbout::CreateControls() {
    Label1 = Named(new QLabel(this), "Label1");
    Label1->setFont(WithPointSize(font(), 20, false));
    Label1->setGeometry(8, 8, 400, 38);

    Label2 = Named(new QLabel(QStringLiteral("© The Bitonix developers"), this), "Label2");
    Label2->setFont(WithPointSize(font(), 12, true));
    Label2->setGeometry(8, 48, 400, 24);

    Image1 = Named(new QLabel(this), "Image1");
    Image1->setGeometry(416, 8, 57, 58);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QIcon(QStringLiteral(":/bitonix.svg")).pixmap(QSize(57, 58)));

    Label4 = Named(new QLabel(this), "Label4");
    Label4->setTextFormat(Qt::RichText);
    Label4->setText(QStringLiteral("<a href=\"%1\" style=\"color:#000080; font-weight:bold; "
                                   "text-decoration:none\">%2</a>")
                        .arg(KWebSiteUrl.toHtmlEscaped(), QUrl(KWebSiteUrl).host()));
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->setGeometry(8, 77, 300, 16);
    connect(Label4, &QLabel::linkActivated, this,
            [this] { Guarded(this, [this] { Label4Click(); }); });

    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setGeometry(8, 96, 465, 281);

    Label3 = Named(new QLabel(this), "Label3");
    Label3->setGeometry(8, 384, 180, 14);

    cbb1 = Named(new QComboBox(this), "cbb1");
    cbb1->addItems(
        {QStringLiteral("Polski"), QStringLiteral("English"), QStringLiteral("Deutsch")});
    cbb1->setCurrentIndex(0);
    cbb1->setFocusPolicy(Qt::ClickFocus);
    cbb1->setGeometry(8, 400, 89, 21);

    btn1 = Named(new QPushButton(this), "btn1");
    btn1->setGeometry(192, 391, 160, 32);
    btn1->setAutoDefault(false);
    connect(btn1, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btn1Click(); }); });

    BitBtn1 = Named(new QPushButton(this), "BitBtn1");
    BitBtn1->setGeometry(370, 391, 104, 32);
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { BitBtn1Click(); }); });
}

void TAbout::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

// Centres the box on the available area of its screen, never above or left
// of that area.
void TAbout::CentreOnScreen() {
    const QScreen* screen = FForm.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    move(area.left() + qMax(0, (area.width() - width()) / 2),
         area.top() + qMax(0, (area.height() - height()) / 2));
}

void TAbout::FormShow() {
    CentreOnScreen();
    LoadLicenseText();

    const TLangStrings& s = FForm.Strings;
    Label1->setText(FForm.progname);
    setWindowTitle(s.SAboutTitle);
    BitBtn1->setText(s.SBtnClose);
    BitBtn1->setIcon(FForm.VirtualImageList1.Icon(QStringLiteral("close")));
    BitBtn1->setIconSize(TImageList::ImageSize());
    btn1->setText(s.SBtnUpdate);
    btn1->setIcon(FForm.VirtualImageList1.Icon(QStringLiteral("update")));
    btn1->setIconSize(TImageList::ImageSize());
    Label3->setText(s.SLblLanguage);

    cbb1->setToolTip(s.SHintLanguage);
    btn1->setToolTip(s.SHintBtnUpdate);
    BitBtn1->setToolTip(s.SHintBtnClose);
    Label4->setToolTip(s.SHintVelkorBiz);

    const qsizetype item = LanguageCodes().indexOf(FForm.language);
    if (item >= 0) {
        cbb1->setCurrentIndex(static_cast<int>(item));
    }
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

void TAbout::BitBtn1Click() {
    const int item = cbb1->currentIndex();
    const QString chosen =
        (item >= 0 && item < LanguageCodes().size()) ? LanguageCodes()[item] : FForm.language;
    try {
        WriteConfigLanguage(chosen, FForm.ConfigFile());
    } catch (const TError& e) {
        ShowBox(QMessageBox::Critical, e.Text(), QMessageBox::Ok);
        return;
    }
    FForm.language = chosen;
    ReloadFormLanguage();
    accept();
}

void TAbout::ReloadFormLanguage() {
    TIniConfig ini = loadiniconfig(GetProgramDir(), FForm.ConfigFile());
    FForm.language = ini.language;
    FForm.FWHSize = ini.WHSize;
    FForm.Strings = std::move(ini.Strings);
    FForm.ApplyLanguage();
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
