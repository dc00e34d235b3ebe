// The input file list: entries, drops, the empty hint and reordering.
#include "app/FileListBox.h"

#include "app/InputFiles.h"
#include "app/ListRowDelegate.h"
#include "support/MessageBox.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <memory>

namespace bitonix {

namespace {

// Marks a drag that moves an entry of this list.
const QString KEntryMime = QStringLiteral("application/x-bitonix-list-entry");

} // namespace

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ListBox1"));
    setItemDelegate(new TListRowDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setDragEnabled(false); // internal drags are started by mouseMoveEvent
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QStringList TFileListBox::Entries() const {
    QStringList entries;
    for (int i = 0; i < count(); ++i) {
        entries.append(item(i)->text());
    }
    return entries;
}

void TFileListBox::AddFilesToList(const QStringList& files) {
    const bool wasEmpty = count() == 0;
    for (const QString& path : FilterAndSortFiles(files)) {
        auto* entry = new QListWidgetItem(path); // owned by the list
        entry->setToolTip(path);
        addItem(entry);
    }
    if (wasEmpty) {
        viewport()->update();
    }
}

void TFileListBox::HandleDroppedFiles(const QList<QUrl>& urls) {
    if (FFrozen) {
        return;
    }
    QStringList files;
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            files.append(url.toLocalFile());
        }
    }
    AddFilesToList(files);
}

void TFileListBox::RemoveSelected() {
    int k = currentRow();
    for (int i = count() - 1; i >= 0; --i) {
        if (item(i)->isSelected()) {
            const std::unique_ptr<QListWidgetItem> removed(takeItem(i)); // handed over to us
        }
    }
    if (k >= count()) {
        k = count() - 1;
    }
    SetCurrentRowOnly(k);
    viewport()->update();
}

void TFileListBox::ClearEntries() {
    clear();
    viewport()->update();
}

void TFileListBox::SetEmptyHint(const QString& hint) {
    FEmptyHint = hint;
    viewport()->update();
}

QString TFileListBox::VisibleEmptyHint() const {
    if (count() > 0) {
        return {};
    }
    return fontMetrics().elidedText(FEmptyHint, Qt::ElideRight, viewport()->width());
}

void TFileListBox::SetFrozen(bool frozen) {
    FFrozen = frozen;
    setAcceptDrops(!frozen);
    viewport()->setAcceptDrops(!frozen);
    if (frozen) {
        FDragSource = -1;
    }
}

void TFileListBox::SetCurrentRowOnly(int row) {
    selectionModel()->setCurrentIndex(row < 0 ? QModelIndex() : model()->index(row, 0),
                                      QItemSelectionModel::NoUpdate);
}

void TFileListBox::ListBox1MouseDown() {
    FDragSource = FFrozen ? -1 : currentRow();
}

bool TFileListBox::ListBox1DragOver(QPoint pos) {
    FDragging = true;
    viewport()->update();
    const int i = indexAt(pos).row();
    SetCurrentRowOnly(i);
    if (i < 0) {
        return false;
    }
    const QRect rect = visualItemRect(item(i));
    if (rect.top() <= 0) {
        if (i > 0) {
            SetCurrentRowOnly(i - 1);
        }
    } else if (rect.bottom() >= viewport()->height() - TListRowDelegate::KRowHeight &&
               i + 1 < count()) {
        SetCurrentRowOnly(i + 1);
    }
    return true;
}

void TFileListBox::ListBox1DragDrop(QPoint pos) {
    FDragging = false;
    viewport()->update();
    if (FDragSource < 0 || FDragSource >= count()) {
        return;
    }
    QListWidgetItem* moved = takeItem(FDragSource);
    FDragSource = -1;
    const int j = indexAt(pos).row();
    if (j < 0) {
        addItem(moved);
    } else {
        insertItem(j, moved);
    }
    SetCurrentRowOnly(j);
    viewport()->update();
}

QPixmap TFileListBox::createicon(const QString& text, const QFont& font) {
    QFont bold(font);
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const QSize size(qMax(1, metrics.horizontalAdvance(text)), qMax(1, metrics.height()));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(bold);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(QPoint(0, metrics.ascent()), text);
    return pixmap;
}

void TFileListBox::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    if (count() > 0 || FEmptyHint.isEmpty()) {
        return;
    }
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect(), Qt::AlignCenter | Qt::TextSingleLine, VisibleEmptyHint());
}

void TFileListBox::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    if (count() == 0) {
        viewport()->update(); // keeps the hint centred
    }
}

void TFileListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    FPressPos = event->position().toPoint();
    ListBox1MouseDown();
}

void TFileListBox::mouseMoveEvent(QMouseEvent* event) {
    const bool dragging = event->buttons().testFlag(Qt::LeftButton) && FDragSource >= 0 &&
                          !FFrozen &&
                          (event->position().toPoint() - FPressPos).manhattanLength() >=
                              QApplication::startDragDistance();
    if (!dragging) {
        QListWidget::mouseMoveEvent(event);
        return;
    }
    StartEntryDrag();
}

void TFileListBox::StartEntryDrag() {
    auto* mime = new QMimeData; // owned by the drag
    mime->setData(KEntryMime, QByteArray::number(FDragSource));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(createicon(item(FDragSource)->text(), font()));
    drag->setHotSpot(QPoint(0, 0));
    drag->exec(Qt::MoveAction);
    FDragging = false;
    viewport()->update();
}

bool TFileListBox::IsEntryDrag(const QDropEvent& event) const {
    return event.mimeData()->hasFormat(KEntryMime) && event.source() == this;
}

bool TFileListBox::AcceptAsCopy(QDropEvent& event) const {
    if (FFrozen || !event.mimeData()->hasUrls() ||
        !event.possibleActions().testFlag(Qt::CopyAction)) {
        event.setDropAction(Qt::IgnoreAction);
        event.ignore();
        return false;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
    return true;
}

void TFileListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (!FFrozen && IsEntryDrag(*event)) {
        event->acceptProposedAction();
        return;
    }
    AcceptAsCopy(*event);
}

void TFileListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (!FFrozen && IsEntryDrag(*event)) {
        if (ListBox1DragOver(event->position().toPoint())) {
            event->acceptProposedAction();
        } else {
            event->ignore();
        }
        return;
    }
    AcceptAsCopy(*event);
}

void TFileListBox::dragLeaveEvent(QDragLeaveEvent* event) {
    QListWidget::dragLeaveEvent(event);
    FDragging = false;
    viewport()->update();
}

void TFileListBox::dropEvent(QDropEvent* event) {
    if (!FFrozen && IsEntryDrag(*event)) {
        ListBox1DragDrop(event->position().toPoint());
        event->acceptProposedAction();
        return;
    }
    if (AcceptAsCopy(*event)) {
        HandleDroppedFiles(event->mimeData()->urls());
    }
}

void TFileListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        if (!FFrozen) {
            Guarded(this, [this] { RemoveSelected(); });
        }
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace bitonix
