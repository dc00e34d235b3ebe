// The corner editor window: controls and layout, Execute, page loading and
// navigation, rotation, reset and detection.
#include "correction/FormCorrection.h"

#include "correction/DocCorrection.h"
#include "correction/PaintBox.h"
#include "support/AtLeast.h"
#include "support/MessageBox.h"
#include "support/Version.h"
#include "support/WindowTools.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace bitonix {

namespace {

// Design client size of the window.
constexpr QSize KClientSize(924, 661);
constexpr int KPanelH = 48;
constexpr int KThumbsW = 140;
constexpr int KButton = 32;
// The least of the page view that stays on screen.
constexpr QSize KMinPageView(200, 150);

QPushButton* ToolButton(QWidget* parent, const QString& caption, const QString& hint) {
    auto* button = new TAtLeast<QPushButton>(QSize(KButton, KButton), caption, parent);
    // Enter presses a tool button that has the focus; elsewhere it presses OK.
    button->setAutoDefault(true);
    button->setToolTip(hint);
    return button;
}

// A tool button showing only its image is 32 x 32; one with a caption is as
// wide as its caption needs, at least that.
void SizeToolButton(QPushButton* button) {
    if (button->text().isEmpty()) {
        button->setFixedSize(KButton, KButton);
    } else {
        button->setMinimumSize(0, 0);
        button->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
}

// OK and Cancel: at least their design size, wider for longer captions.
QPushButton* DialogButton(QWidget* parent, const QString& caption, QSize design) {
    auto* button = new TAtLeast<QPushButton>(design, caption, parent);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

} // namespace

TFormCorrection::TFormCorrection(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Korekcja perspektywy dokumentu"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    CreateControls();
    CreateLayout();
    resize(KClientSize.expandedTo(minimumSizeHint()));
    layout()->activate();
}

void TFormCorrection::CreateControls() {
    pnlTop = new TAtLeast<QWidget>(QSize(0, KPanelH), this);
    btnFirst = ToolButton(pnlTop, QStringLiteral("|<"), QStringLiteral("Pierwsza strona"));
    btnPrev = ToolButton(pnlTop, QStringLiteral("<"), QStringLiteral("Poprzednia strona"));
    edPage = new QLineEdit(QStringLiteral("0"), pnlTop);
    edPage->setAlignment(Qt::AlignCenter);
    edPage->setFixedWidth(41);
    edPage->installEventFilter(this);
    lblCount = new QLabel(QStringLiteral("/ 0"), pnlTop);
    btnNext = ToolButton(pnlTop, QStringLiteral(">"), QStringLiteral("Nastepna strona"));
    btnLast = ToolButton(pnlTop, QStringLiteral(">|"), QStringLiteral("Ostatnia strona"));
    btnRotL = ToolButton(pnlTop, QStringLiteral("Obroc w lewo"), QString());
    btnRotR = ToolButton(pnlTop, QStringLiteral("Obroc w prawo"), QString());
    btnFit = ToolButton(pnlTop, QStringLiteral("Dopasuj do okna"), QString());
    btnZoomIn = ToolButton(pnlTop, QStringLiteral("Powieksz"), QString());
    btnZoomOut = ToolButton(pnlTop, QStringLiteral("Pomniejsz"), QString());
    btnResetEdges = ToolButton(pnlTop, QStringLiteral("Reset kraw."),
                               QStringLiteral("Resetuj krawedzie do rozmiaru obrazu"));
    btnDetectEdges = ToolButton(pnlTop, QStringLiteral("Wykryj kraw."),
                                QStringLiteral("Wykryj krawedzie aktualnej strony"));
    for (QPushButton* button : ToolButtons()) {
        SizeToolButton(button);
    }

    pnlBottom = new TAtLeast<QWidget>(QSize(0, KPanelH), this);
    btnOK = DialogButton(pnlBottom, QStringLiteral("OK"), {96, KButton});
    btnOK->setDefault(true);
    btnCancel = DialogButton(pnlBottom, QStringLiteral("Anuluj"), {104, KButton});

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

    // Page Up and Page Down page through the batch wherever the focus is.
    auto* pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(pageUp, &QShortcut::activated, this, guarded(&TFormCorrection::btnPrevClick));
    auto* pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(pageDown, &QShortcut::activated, this, guarded(&TFormCorrection::btnNextClick));
}

std::vector<QPushButton*> TFormCorrection::ToolButtons() const {
    return {btnFirst, btnPrev,   btnNext,    btnLast,       btnRotL,       btnRotR,
            btnFit,   btnZoomIn, btnZoomOut, btnResetEdges, btnDetectEdges};
}

// The tool buttons in groups along the top (navigation with the page field,
// turning, zoom, outline), OK and Cancel at the bottom right, the strip on
// the left between them and the page view taking the rest. The window
// cannot become smaller than what keeps the toolbar and the bottom buttons
// whole.
void TFormCorrection::CreateLayout() {
    auto* tools = new QHBoxLayout(pnlTop);
    tools->setContentsMargins(8, 8, 8, 8);
    tools->setSpacing(4);
    tools->addWidget(btnFirst);
    tools->addWidget(btnPrev);
    tools->addSpacing(4);
    tools->addWidget(edPage);
    tools->addSpacing(2);
    tools->addWidget(lblCount);
    tools->addWidget(btnNext);
    tools->addWidget(btnLast);
    tools->addSpacing(34);
    tools->addWidget(btnRotL);
    tools->addWidget(btnRotR);
    tools->addSpacing(28);
    tools->addWidget(btnFit);
    tools->addWidget(btnZoomIn);
    tools->addWidget(btnZoomOut);
    tools->addSpacing(28);
    tools->addWidget(btnResetEdges);
    tools->addWidget(btnDetectEdges);
    tools->addStretch(1);
    pnlTop->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* buttons = new QHBoxLayout(pnlBottom);
    buttons->setContentsMargins(8, 8, 12, 8);
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    pnlBottom->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* strip = new QVBoxLayout(pnlThumbs);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(ThumbScroll);
    pnlThumbs->setFixedWidth(KThumbsW);
    PaintBox1->setMinimumSize(KMinPageView);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(pnlThumbs);
    middle->addWidget(PaintBox1, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(pnlTop);
    column->addLayout(middle, 1);
    column->addWidget(pnlBottom);

    QWidget* previous = nullptr;
    for (QWidget* widget : std::initializer_list<QWidget*>{
             btnFirst, btnPrev, edPage, btnNext, btnLast, btnRotL, btnRotR, btnFit, btnZoomIn,
             btnZoomOut, btnResetEdges, btnDetectEdges, ThumbScroll, btnOK, btnCancel}) {
        if (previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget;
    }
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
        row.Button->setIconSize(KButtonImageSize);
        if (row.Hint != nullptr) {
            row.Button->setToolTip(QString::fromLatin1(row.Hint));
        }
        if (row.IconOnly) {
            row.Button->setText(QString());
        }
        SizeToolButton(row.Button);
    }
    // Icons need less room than captions: the design size again, unless the
    // window is on screen already.
    pnlTop->updateGeometry();
    layout()->activate(); // the window's minimum size for the new buttons
    if (!isVisible()) {
        resize(KClientSize.expandedTo(minimumSizeHint()));
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
    // The field takes as many digits as the page count has (41 pixels for
    // up to four); frame and text margins come on top of the digits.
    const QString digits(QString::number(std::max(count, 1)).size(), QLatin1Char('0'));
    edPage->setFixedWidth(std::max(41, edPage->fontMetrics().horizontalAdvance(digits) + 16));

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
    // The layout has placed the children for the new size already.
    QDialog::resizeEvent(event);
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
