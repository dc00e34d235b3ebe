// Paints one row of the input file list: a selected row as a blue outline on
// light blue, the current row with a dotted focus mark, every row with its
// path on one line, shortened in the middle when it is too long.
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
    // A path wider than the row is elided in its middle, so that two files
    // of one deep folder still differ; the tool tip holds the whole path.
    // The current row, while the list shows it (TFileListBox::
    // ShowsCurrentRow), gets a dotted rectangle in the text colour one pixel
    // inside the row: it is seen on selected and unselected rows alike.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The text painted for `path` in a row `rowWidth` pixels wide.
    static QString ShownText(const QString& path, const QFontMetrics& metrics, int rowWidth);
};

} // namespace bitonix
