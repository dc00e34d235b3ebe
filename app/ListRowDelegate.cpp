// Owner drawing of the file list's rows.
#include "app/ListRowDelegate.h"

#include <QPainter>

namespace bitonix {

void TListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    painter->save();
    const QRect rect = option.rect;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QColor background = option.palette.color(QPalette::Base);
    painter->setPen(selected ? SelectedOutline() : background);
    painter->setBrush(selected ? SelectedFill() : background);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));

    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(option.font);
    const int off = (rect.height() - metrics.height()) / 2;
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->setClipRect(rect);
    painter->drawText(QPoint(rect.left() + off + 2, rect.top() + off + metrics.ascent()), text);
    painter->restore();
}

QSize TListRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), KRowHeight};
}

} // namespace bitonix
