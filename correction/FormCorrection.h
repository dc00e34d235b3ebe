// TFormCorrection: the modal corner editor of the manual straightening mode.
// The user pages through the whole batch, drags the document outline, resets
// or re-detects it and turns pages; OK hands the edited records back.
#pragma once

#include "correction/EditorGeometry.h"
#include "correction/PageBitmap.h"

#include <QDialog>
#include <QIcon>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace bitonix {

class TPaintBox;

class TFormCorrection : public QDialog {
    Q_OBJECT
public:
    // Button images by name ("nav-first" ... "cancel"), as the main window's
    // image list holds them; a null icon leaves that button as it is.
    using TImageLookup = std::function<QIcon(const QString& name)>;

    explicit TFormCorrection(QWidget* owner = nullptr);

    // Puts icons (and hints) on the buttons; the icon-only buttons lose their
    // captions. An empty lookup changes nothing.
    void ApplyButtonImages(const TImageLookup& images);

    // Shows the editor modally on a copy of `list`. Returns true when the user
    // confirmed with OK: `list` then holds every edited record. Any other
    // close (Cancel, Escape, the window's close box) returns false and leaves
    // `list` exactly as it was. Nothing here throws to the caller.
    bool Execute(TPageCorrectionList& list);

    // The editor's state, for the window's readers.
    const TEditorGeometry& Geometry() const { return FGeo; }
    const QImage& RotBmp() const { return FRotBmp; }
    const std::vector<QImage>& Thumbs() const { return FThumbs; }

    // Loads page i (ignored outside the list): decodes its JPEG (a white page
    // of the record's size when that fails), turns it, fits the view, updates
    // the navigation and scrolls the strip to it.
    void LoadPage(int i);
    // Page field, counter, caption and enabled states from the current page.
    void UpdateNav();
    // Rebuilds the shown bitmap from the page bitmap and the page's rotation.
    void RebuildRotBmp();
    // Fits the page and its outline into the page view and repaints.
    void FitToWindow();
    // Wheel over the window: `delta` in 1/8 degree (120 a notch), `globalPos`
    // the mouse on the desktop. Over the thumbnail panel the strip scrolls;
    // over a shown page the view zooms about the mouse. Returns whether the
    // event was used.
    bool FormMouseWheel(int delta, QPoint globalPos);

    // Thumbnail strip (FormCorrectionThumbs.cpp).
    void BuildThumbnails();
    void UpdateThumbnailLayout();
    // Scrolls the strip 72 pixels per notch (forward scrolls up), within range.
    void ScrollThumbnails(int delta);
    QRect ThumbnailItemRect(int i) const;
    int ThumbnailIndexAt(int y) const;
    // Scrolls the least that shows the whole item i.
    void EnsureThumbnailVisible(int i);

    // Button handlers.
    void btnFirstClick();
    void btnPrevClick();
    void btnNextClick();
    void btnLastClick();
    void btnRotLClick();
    void btnRotRClick();
    void btnResetEdgesClick();
    void btnDetectEdgesClick();
    void btnFitClick();
    void btnZoomInClick();
    void btnZoomOutClick();
    // Enter in the page field: jumps to the typed page (the current one when
    // the text is no number), clamped to the list.
    void edPageKeyPress();

    // Controls, owned by the window.
    QWidget* pnlTop;
    QPushButton* btnFirst;
    QPushButton* btnPrev;
    QLineEdit* edPage;
    QLabel* lblCount;
    QPushButton* btnNext;
    QPushButton* btnLast;
    QPushButton* btnRotL;
    QPushButton* btnRotR;
    QPushButton* btnFit;
    QPushButton* btnZoomIn;
    QPushButton* btnZoomOut;
    QPushButton* btnResetEdges;
    QPushButton* btnDetectEdges;
    QWidget* pnlBottom;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QWidget* pnlThumbs;
    QScrollArea* ThumbScroll;
    TPaintBox* ThumbPaintBox;
    TPaintBox* PaintBox1;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateLayout();
    std::vector<QPushButton*> ToolButtons() const;
    void FormResize();
    void PaintBox1Paint(QPainter& painter);
    void PaintBox1MouseDown(const QMouseEvent& event);
    void PaintBox1MouseMove(const QMouseEvent& event);
    void PaintBox1MouseUp();
    void ThumbPaintBoxPaint(QPainter& painter);
    void ThumbPaintBoxMouseDown(const QMouseEvent& event);
    void RotateBy(int degrees);

    TEditorGeometry FGeo;        // the pages (FList), FIdx, view and drag state
    TPageBitmap FBitmap;         // the current page, unrotated
    QImage FRotBmp;              // FBitmap turned by the page's rotation: what is shown
    QSize FRotSize;              // FBitmap's page size, turned likewise
    std::vector<QImage> FThumbs; // one per page, built when the editor opens
    bool FInThumbLayout = false; // re-layout triggered by the layout itself is skipped
};

} // namespace bitonix
