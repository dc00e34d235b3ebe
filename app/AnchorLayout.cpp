// Anchored placement of children at their design rectangles.
#include "app/AnchorLayout.h"

#include <QWidget>
#include <QWidgetItem>
#include <memory>

namespace bitonix {

TAnchorLayout::TAnchorLayout(QWidget* parent, QSize designSize)
    : QLayout(parent), FDesignSize(designSize) {
    setContentsMargins(0, 0, 0, 0);
}

TAnchorLayout::~TAnchorLayout() {
    for (TEntry& entry : FItems) {
        // QLayout hands its items over to the layout; they are released here.
        std::unique_ptr<QLayoutItem> owned(entry.Item);
    }
}

void TAnchorLayout::Place(QWidget* widget, QRect rect, TAnchor anchor) {
    addChildWidget(widget);
    FItems.push_back({new QWidgetItem(widget), rect, anchor});
    invalidate();
}

void TAnchorLayout::addItem(QLayoutItem* item) {
    FItems.push_back({item, {}, TAnchor::anLeft});
}

QLayoutItem* TAnchorLayout::itemAt(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return FItems[static_cast<std::size_t>(index)].Item;
}

QLayoutItem* TAnchorLayout::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = FItems[static_cast<std::size_t>(index)].Item;
    FItems.erase(FItems.begin() + index);
    return item;
}

void TAnchorLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    // Positions are relative to the whole parent (a group box's caption
    // included), not to the contents area Qt hands to the layout.
    const QRect area = parentWidget() != nullptr ? parentWidget()->rect() : rect;
    const int grow = area.width() - FDesignSize.width();
    for (const TEntry& entry : FItems) {
        QRect placed = entry.Rect.translated(area.topLeft());
        if (entry.Anchor == TAnchor::anStretch) {
            placed.setWidth(qMax(0, placed.width() + grow));
        } else if (entry.Anchor == TAnchor::anRight) {
            placed.translate(grow, 0);
        }
        entry.Item->setGeometry(placed);
    }
}

} // namespace bitonix
