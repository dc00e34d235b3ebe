// The corner editor without widgets: the pages it edits, the current page,
// the three coordinate spaces, the view (zoom and offset) and every operation
// that turns mouse input into view or corner changes.
//
// Spaces, all in pixels with x right and y down:
//   image   - the page JPEG as stored, unrotated; Corners live here only;
//   rotated - the image turned clockwise by the page's Rotation;
//   screen  - client pixels of the page view: q * FZoom + (FOffX, FOffY).
//
// Operations: CurRot, ImgToRot, RotToImg, ImgToScreen, ScreenToImg,
// ClampCorner, IsConvexQuad, HitTest, MouseDown, MouseMove, MouseUp,
// FitToWindow, ZoomIn, ZoomOut, WheelZoom.
#pragma once

#include "correction/PageCorrection.h"

#include <span>

namespace bitonix {

// What the mouse is dragging.
enum class TDragMode { dmNone, dmCorner, dmEdge, dmPan };

// An integer screen position.
struct TPoint {
    int X = 0;
    int Y = 0;
};

// True when P holds exactly four finite points whose four turns all have the
// same sign and each a magnitude above 0.001. Both windings count as convex.
// Notes: 1. A bow tie (self-intersecting outline) changes sign and fails.
//        2. Collinear neighbours or coinciding corners give a turn near 0 and fail.
bool IsConvexQuad(std::span<const TPointF> P);

class TEditorGeometry {
public:
    // Wheel zoom limits; the zoom buttons have none.
    static constexpr double KMinWheelZoom = 0.02;
    static constexpr double KMaxWheelZoom = 50.0;
    // Factor of one zoom button click or one wheel notch.
    static constexpr double KZoomStep = 1.25;
    // Grab radii in screen pixels, independent of the zoom.
    static constexpr double KCornerRadius = 7.0;
    static constexpr double KEdgeRadius = 10.0;

    // The pages being edited (the editor's own copy) and the current one.
    const TPageCorrectionList& List() const { return FList; }
    TPageCorrectionList& List() { return FList; }
    int Count() const { return static_cast<int>(FList.size()); }
    // Replaces the pages; no page is current afterwards.
    void SetList(const TPageCorrectionList& list);
    int Idx() const { return FIdx; }
    // Makes page i current; any index outside the list means none.
    void SetIdx(int i);
    // The current page, or null when FIdx is not a valid index.
    TPageCorrection* CurPage();
    const TPageCorrection* CurPage() const;

    // Rotation of the current page, 0 without one.
    int CurRot() const;

    // Clockwise turn of the current page's image (its record's ImgW x ImgH,
    // not any bitmap's size). Exact inverses of each other; rotations other
    // than 90, 180 and 270 leave points unchanged.
    TPointF ImgToRot(TPointF p) const;
    TPointF RotToImg(TPointF p) const;
    TPointF ImgToScreen(TPointF p) const;
    TPointF ScreenToImg(int x, int y) const;

    // Limits an image-space point of the current page to one whole image
    // width or height outside the image on every side:
    // [-W, 2W - 1] x [-H, 2H - 1].
    void ClampCorner(TPointF& p) const;

    // What a press at screen (x, y) would grab. Corners within 7 px win over
    // edge midpoints within 10 px; the nearest wins, the lower index on a tie.
    // corner and edge get the index grabbed, otherwise -1. dmNone without a
    // current page.
    TDragMode HitTest(int x, int y, int& corner, int& edge) const;

    // Mouse protocol of the page view; each needs a current page and returns
    // true when the view or the outline changed (the caller repaints).
    // MouseDown grabs a corner or edge handle, or starts panning elsewhere.
    void MouseDown(int x, int y);
    // Corner/edge drag step or pan step, depending on the grab.
    // Notes: 1. A step that would leave the outline non-convex changes
    //           nothing, not even FLastImg, so the corner waits at its last
    //           valid place and later jumps back under the mouse keeping the
    //           offset it had then.
    //        2. A clamped corner moves less than the mouse, yet FLastImg
    //           follows the mouse: the other corner of an edge keeps going.
    bool MouseMove(int x, int y);
    void MouseUp() { FDrag = TDragMode::dmNone; }
    // With no grab in progress: is a handle under (x, y)? Forgets the last
    // grabbed indexes.
    bool HoverAt(int x, int y);

    // Fits the union of the rotated page (rotW x rotH pixels) and the outline
    // into 90 % of the page view (pw x ph pixels), centred. Returns false and
    // changes nothing without a page or with an empty bitmap or view.
    bool FitToWindow(double rotW, double rotH, int pw, int ph);
    // Zoom by 1.25 about the centre of a pw x ph view, without limits.
    void ZoomIn(int pw, int ph);
    void ZoomOut(int pw, int ph);
    // Zoom by 1.25 per 120 units of delta about the view point (mx, my),
    // clamped to 0.02 .. 50; the image point under the mouse stays put.
    // Returns false for a delta of 0.
    bool WheelZoom(int delta, int mx, int my);

    double Zoom() const { return FZoom; }
    double OffX() const { return FOffX; }
    double OffY() const { return FOffY; }
    void SetView(double zoom, double offX, double offY);
    TDragMode Drag() const { return FDrag; }
    int DragCorner() const { return FDragCorner; }
    int DragEdge() const { return FDragEdge; }

private:
    bool DragStep(int x, int y);

    TPageCorrectionList FList;
    int FIdx = -1;
    double FZoom = 1.0;
    double FOffX = 0.0;
    double FOffY = 0.0;
    TDragMode FDrag = TDragMode::dmNone;
    int FDragCorner = -1;
    int FDragEdge = -1;
    TPointF FLastImg;
    TPoint FPanLast;
};

} // namespace bitonix
