// Paints one row of the input file list: a selected row as a blue outline on
// light blue, every row with its full path on one line.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace bitonix {

class TListRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int KRowHeight = 20;
    static QColor SelectedOutline() { return {50, 153, 255}; }
    static QColor SelectedFill() { return {192, 221, 253}; }

    // ListBox1DrawItem: the row rectangle filled (selected: outline and fill
    // as above; otherwise the list's background), then the path at
    // (left + off + 2, top + off), off being half the room left by the text.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace bitonix
