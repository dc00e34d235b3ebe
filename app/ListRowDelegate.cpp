// Owner drawing of the file list's rows.
#include "app/ListRowDelegate.h"

#include "app/FileListBox.h"

#include <QPainter>

namespace bitonix {

namespace {

// Left text offset for a row of `rowHeight` with text `textHeight` high.
int TextOffset(int rowHeight, int textHeight) {
    return (rowHeight - textHeight) / 2;
}

} // namespace

QString TListRowDelegate::ShownText(const QString& path, const QFontMetrics& metrics,
                                    int rowWidth) {
    const int off = TextOffset(KRowHeight, metrics.height());
    // The same room on the right as on the left.
    return metrics.elidedText(path, Qt::ElideMiddle, rowWidth - 2 * (off + 2));
}

void TListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    painter->save();
    const QRect rect = option.rect;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QColor background = option.palette.color(QPalette::Base);
    painter->setPen(selected ? SelectedOutline() : background);
    painter->setBrush(selected ? SelectedFill() : background);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));

    const auto* list = qobject_cast<const TFileListBox*>(option.widget);
    if (list != nullptr && list->ShowsCurrentRow() && list->currentIndex() == index) {
        painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(1, 1, -2, -2));
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(option.font);
    const int off = TextOffset(rect.height(), metrics.height());
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->setClipRect(rect);
    painter->drawText(QPoint(rect.left() + off + 2, rect.top() + off + metrics.ascent()),
                      ShownText(text, metrics, rect.width()));
    painter->restore();
}

// No width of its own: every row spans the list, and its text is elided to it.
QSize TListRowDelegate::sizeHint(const QStyleOptionViewItem& /*option*/,
                                 const QModelIndex& /*index*/) const {
    return {1, KRowHeight};
}

} // namespace bitonix
