// A layout that places children at fixed design positions and keeps them
// anchored: to the left, stretching with the parent, or to the right edge.
#pragma once

#include <QLayout>
#include <QRect>
#include <vector>

namespace bitonix {

enum class TAnchor {
    anLeft,    // keeps position and size
    anStretch, // keeps its left edge and its distance to the right edge
    anRight    // keeps its size and its distance to the right edge
};

class TAnchorLayout : public QLayout {
public:
    // `designSize`: the parent's size the child rectangles are given for.
    TAnchorLayout(QWidget* parent, QSize designSize);
    ~TAnchorLayout() override;
    TAnchorLayout(const TAnchorLayout&) = delete;
    TAnchorLayout& operator=(const TAnchorLayout&) = delete;

    // Adds `widget` at `rect` (pixels, relative to the parent at its design size).
    void Place(QWidget* widget, QRect rect, TAnchor anchor = TAnchor::anLeft);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(FItems.size()); }
    QSize sizeHint() const override { return FDesignSize; }
    QSize minimumSize() const override { return {0, FDesignSize.height()}; }
    void setGeometry(const QRect& rect) override;

private:
    struct TEntry {
        QLayoutItem* Item; // owned; deleted by the destructor
        QRect Rect;
        TAnchor Anchor;
    };
    QSize FDesignSize;
    std::vector<TEntry> FItems;
};

} // namespace bitonix
