// The corner editor window: controls and layout, Execute, page loading and
// navigation, rotation, reset and detection.
#include "correction/FormCorrection.h"

#include "correction/DocCorrection.h"
#include "correction/PaintBox.h"
#include "support/MessageBox.h"
#include "support/Version.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace bitonix {

namespace {

constexpr int KClientW = 924;
constexpr int KClientH = 661;
constexpr int KPanelH = 48;
constexpr int KThumbsW = 140;
constexpr int KButton = 32;

QPushButton* ToolButton(QWidget* parent, int x, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, 8, KButton, KButton);
    button->setAutoDefault(false);
    button->setToolTip(hint);
    return button;
}

} // namespace

TFormCorrection::TFormCorrection(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Korekcja perspektywy dokumentu"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    CreateControls();
    resize(KClientW, KClientH);
    Layout();
}

void TFormCorrection::CreateControls() {
    pnlTop = new QWidget(this);
    btnFirst = ToolButton(pnlTop, 8, QStringLiteral("|<"), QStringLiteral("Pierwsza strona"));
    btnPrev = ToolButton(pnlTop, 44, QStringLiteral("<"), QStringLiteral("Poprzednia strona"));
    edPage = new QLineEdit(QStringLiteral("0"), pnlTop);
    edPage->setGeometry(84, 13, 41, 21);
    edPage->setAlignment(Qt::AlignCenter);
    edPage->installEventFilter(this);
    lblCount = new QLabel(QStringLiteral("/ 0"), pnlTop);
    lblCount->move(131, 17);
    btnNext = ToolButton(pnlTop, 154, QStringLiteral(">"), QStringLiteral("Nastepna strona"));
    btnLast = ToolButton(pnlTop, 190, QStringLiteral(">|"), QStringLiteral("Ostatnia strona"));
    btnRotL = ToolButton(pnlTop, 260, QStringLiteral("Obroc w lewo"), QString());
    btnRotR = ToolButton(pnlTop, 296, QStringLiteral("Obroc w prawo"), QString());
    btnFit = ToolButton(pnlTop, 360, QStringLiteral("Dopasuj do okna"), QString());
    btnZoomIn = ToolButton(pnlTop, 396, QStringLiteral("Powieksz"), QString());
    btnZoomOut = ToolButton(pnlTop, 432, QStringLiteral("Pomniejsz"), QString());
    btnResetEdges = ToolButton(pnlTop, 496, QStringLiteral("Reset kraw."),
                               QStringLiteral("Resetuj krawedzie do rozmiaru obrazu"));
    btnDetectEdges = ToolButton(pnlTop, 532, QStringLiteral("Wykryj kraw."),
                                QStringLiteral("Wykryj krawedzie aktualnej strony"));

    pnlBottom = new QWidget(this);
    btnOK = new QPushButton(QStringLiteral("OK"), pnlBottom);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Anuluj"), pnlBottom);
    btnCancel->setAutoDefault(false);

    pnlThumbs = new QWidget(this);
    ThumbScroll = new QScrollArea(pnlThumbs);
    ThumbScroll->setFrameShape(QFrame::NoFrame);
    ThumbScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ThumbScroll->setWidgetResizable(false);
    ThumbPaintBox = new TPaintBox(ThumbScroll);
    ThumbScroll->setWidget(ThumbPaintBox);
    ThumbPaintBox->setAutoFillBackground(false); // it paints every pixel itself
    ThumbScroll->viewport()->installEventFilter(this);
    ThumbScroll->verticalScrollBar()->installEventFilter(this);
    ThumbPaintBox->installEventFilter(this);

    PaintBox1 = new TPaintBox(this);
    PaintBox1->installEventFilter(this);

    ThumbPaintBox->OnPaint = [this](QPainter& p) { ThumbPaintBoxPaint(p); };
    ThumbPaintBox->OnMouseDown = [this](QMouseEvent& e) {
        Guarded(this, [&] { ThumbPaintBoxMouseDown(e); });
    };
    PaintBox1->OnPaint = [this](QPainter& p) { PaintBox1Paint(p); };
    PaintBox1->OnMouseDown = [this](QMouseEvent& e) {
        Guarded(this, [&] { PaintBox1MouseDown(e); });
    };
    PaintBox1->OnMouseMove = [this](QMouseEvent& e) {
        Guarded(this, [&] { PaintBox1MouseMove(e); });
    };
    PaintBox1->OnMouseUp = [this](QMouseEvent&) { Guarded(this, [this] { PaintBox1MouseUp(); }); };

    // Button handlers run guarded: an exception never leaves a slot.
    const auto guarded = [this](void (TFormCorrection::*handler)()) {
        return [this, handler] { Guarded(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(btnFirst, &QPushButton::clicked, this, guarded(&TFormCorrection::btnFirstClick));
    connect(btnPrev, &QPushButton::clicked, this, guarded(&TFormCorrection::btnPrevClick));
    connect(btnNext, &QPushButton::clicked, this, guarded(&TFormCorrection::btnNextClick));
    connect(btnLast, &QPushButton::clicked, this, guarded(&TFormCorrection::btnLastClick));
    connect(btnRotL, &QPushButton::clicked, this, guarded(&TFormCorrection::btnRotLClick));
    connect(btnRotR, &QPushButton::clicked, this, guarded(&TFormCorrection::btnRotRClick));
    connect(btnFit, &QPushButton::clicked, this, guarded(&TFormCorrection::btnFitClick));
    connect(btnZoomIn, &QPushButton::clicked, this, guarded(&TFormCorrection::btnZoomInClick));
    connect(btnZoomOut, &QPushButton::clicked, this, guarded(&TFormCorrection::btnZoomOutClick));
    connect(btnResetEdges, &QPushButton::clicked, this,
            guarded(&TFormCorrection::btnResetEdgesClick));
    connect(btnDetectEdges, &QPushButton::clicked, this,
            guarded(&TFormCorrection::btnDetectEdgesClick));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

// Top and bottom panels span the width, the strip takes the left 140 pixels
// between them and the page view the rest; OK and Cancel keep their
// distance to the right edge.
void TFormCorrection::Layout() {
    const int w = width();
    const int h = height();
    const int middle = std::max(0, h - 2 * KPanelH);
    pnlTop->setGeometry(0, 0, w, KPanelH);
    pnlBottom->setGeometry(0, h - KPanelH, w, KPanelH);
    btnOK->setGeometry(w - (KClientW - 704), 8, 96, KButton);
    btnCancel->setGeometry(w - (KClientW - 808), 8, 104, KButton);
    pnlThumbs->setGeometry(0, KPanelH, KThumbsW, middle);
    ThumbScroll->setGeometry(0, 0, KThumbsW, middle);
    PaintBox1->setGeometry(KThumbsW, KPanelH, std::max(0, w - KThumbsW), middle);
}

void TFormCorrection::ApplyButtonImages(const TImageLookup& images) {
    if (!images) {
        return;
    }
    struct TRow {
        QPushButton* Button;
        const char* Name;
        const char* Hint; // null: the hint stays
        bool IconOnly;
    };
    const TRow rows[] = {
        {btnFirst, "nav-first", "Pierwsza strona", true},
        {btnPrev, "nav-prev", "Poprzednia strona", true},
        {btnNext, "nav-next", "Nastepna strona", true},
        {btnLast, "nav-last", "Ostatnia strona", true},
        {btnRotL, "rotate-left", "Obroc w lewo", true},
        {btnRotR, "rotate-right", "Obroc w prawo", true},
        {btnZoomIn, "zoom-in", "Powieksz", true},
        {btnZoomOut, "zoom-out", "Pomniejsz", true},
        {btnFit, "zoom-fit", "Dopasuj do okna", true},
        {btnDetectEdges, "detect-edges", "Wykryj krawedzie", true},
        {btnResetEdges, "reset-corners", "Resetuj krawedzie", true},
        {btnOK, "ok", nullptr, false},
        {btnCancel, "cancel", nullptr, false},
    };
    for (const TRow& row : rows) {
        const QIcon icon = images(QString::fromLatin1(row.Name));
        if (icon.isNull()) {
            continue;
        }
        row.Button->setIcon(icon);
        row.Button->setIconSize(QSize(24, 24));
        if (row.Hint != nullptr) {
            row.Button->setToolTip(QString::fromLatin1(row.Hint));
        }
        if (row.IconOnly) {
            row.Button->setText(QString());
        }
    }
}

bool TFormCorrection::Execute(TPageCorrectionList& list) {
    FGeo.SetList(list);
    BuildThumbnails();
    FBitmap = {};
    FRotBmp = {};
    FRotSize = {};
    if (!list.isEmpty()) {
        LoadPage(0);
    }
    UpdateNav();
    const bool confirmed = exec() == QDialog::Accepted;
    if (confirmed) {
        list = FGeo.List();
    }
    return confirmed;
}

void TFormCorrection::LoadPage(int i) {
    if (i < 0 || i > FGeo.Count() - 1) {
        return;
    }
    FGeo.SetIdx(i);
    TPageCorrection& page = *FGeo.CurPage();
    FBitmap = LoadPageBitmap(page.PageJpgFile);
    if (!FBitmap.Size.isEmpty()) {
        if (page.ImgW == 0) {
            page.ImgW = FBitmap.Size.width();
        }
        if (page.ImgH == 0) {
            page.ImgH = FBitmap.Size.height();
        }
    } else {
        FBitmap = WhitePageBitmap(page.ImgW, page.ImgH);
    }
    RebuildRotBmp();
    FitToWindow();
    UpdateNav();
    EnsureThumbnailVisible(i);
    ThumbPaintBox->update();
    PaintBox1->update();
}

void TFormCorrection::RebuildRotBmp() {
    const int r = FGeo.CurRot();
    FRotBmp = FBitmap.Pixels.isNull() ? QImage() : RotateBmp(FBitmap.Pixels, r);
    FRotSize = r == 90 || r == 270 ? FBitmap.Size.transposed() : FBitmap.Size;
}

void TFormCorrection::UpdateNav() {
    const int count = FGeo.Count();
    const int idx = FGeo.Idx();
    edPage->setText(count == 0 ? QStringLiteral("0") : QString::number(idx + 1));
    lblCount->setText(QStringLiteral("/ ") + QString::number(count));
    lblCount->adjustSize();

    QString caption = QStringLiteral("Korekcja perspektywy");
    const TPageCorrection* page = FGeo.CurPage();
    if (page != nullptr && !page->DisplayName.isEmpty()) {
        QString s = page->DisplayName;
        if (page->SourcePageNo > 0 && page->SourcePageCount > 1) {
            s += QStringLiteral(" - strona %1/%2")
                     .arg(page->SourcePageNo)
                     .arg(page->SourcePageCount);
        }
        if (page->GlobalPageCount < 1) {
            caption = QStringLiteral("Korekcja perspektywy - ") + s;
        } else {
            caption = QStringLiteral("Korekcja perspektywy - %1/%2 - %3")
                          .arg(page->GlobalPageNo)
                          .arg(page->GlobalPageCount)
                          .arg(s);
        }
    }
    setWindowTitle(caption);

    btnFirst->setEnabled(idx > 0);
    btnPrev->setEnabled(idx > 0);
    btnNext->setEnabled(idx < count - 1);
    btnLast->setEnabled(idx < count - 1);
    btnResetEdges->setEnabled(idx >= 0);
    btnDetectEdges->setEnabled(idx >= 0 && DocDetectAvailable());
}

void TFormCorrection::btnFirstClick() {
    LoadPage(0);
}

void TFormCorrection::btnPrevClick() {
    if (FGeo.Idx() > 0) {
        LoadPage(FGeo.Idx() - 1);
    }
}

void TFormCorrection::btnNextClick() {
    if (FGeo.Idx() < FGeo.Count() - 1) {
        LoadPage(FGeo.Idx() + 1);
    }
}

void TFormCorrection::btnLastClick() {
    LoadPage(FGeo.Count() - 1);
}

void TFormCorrection::edPageKeyPress() {
    const int count = FGeo.Count();
    if (count == 0) {
        return;
    }
    bool isNumber = false;
    qint64 n = edPage->text().trimmed().toLongLong(&isNumber);
    if (!isNumber) {
        n = FGeo.Idx() + 1;
    }
    LoadPage(static_cast<int>(std::clamp<qint64>(n - 1, 0, count - 1)));
}

void TFormCorrection::RotateBy(int degrees) {
    TPageCorrection* page = FGeo.CurPage();
    if (page == nullptr) {
        return;
    }
    page->Rotation = ((page->Rotation + degrees) % 360 + 360) % 360;
    page->UserEdited = true;
    RebuildRotBmp();
    FitToWindow();
    PaintBox1->update();
}

void TFormCorrection::btnRotLClick() {
    RotateBy(270);
}

void TFormCorrection::btnRotRClick() {
    RotateBy(90);
}

void TFormCorrection::btnResetEdgesClick() {
    TPageCorrection* page = FGeo.CurPage();
    if (page == nullptr) {
        return;
    }
    SetFullPageCorners(*page);
    page->AutoDetected = false;
    page->UserEdited = true;
    FitToWindow();
    PaintBox1->update();
}

void TFormCorrection::btnDetectEdgesClick() {
    TPageCorrection* page = FGeo.CurPage();
    if (page == nullptr) {
        return;
    }
    if (!DetectCornersForPage(*page)) {
        ShowMessageBox(this, QMessageBox::Warning, KAppTitle,
                       QStringLiteral("Nie udalo sie wykryc krawedzi dla aktualnej strony."),
                       QMessageBox::Ok);
        return;
    }
    page->UserEdited = true;
    FitToWindow();
    PaintBox1->update();
}

void TFormCorrection::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Layout();
    FormResize();
}

void TFormCorrection::FormResize() {
    UpdateThumbnailLayout();
    ThumbPaintBox->update();
    if (!FRotBmp.isNull() && FGeo.Idx() >= 0) {
        FitToWindow();
    } else {
        PaintBox1->update();
    }
}

bool TFormCorrection::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched != this) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        return FormMouseWheel(wheel->angleDelta().y(), wheel->globalPosition().toPoint());
    }
    if (watched == ThumbScroll->viewport() && event->type() == QEvent::Resize) {
        // The client area settles after the window's own resize (and when the
        // scroll bar comes or goes): lay the strip out for the final size.
        UpdateThumbnailLayout();
    }
    if (watched == edPage && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guarded(this, [this] { edPageKeyPress(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace bitonix
