// ListBox1: the input file list. Takes files from the dialog, the command
// line and drops from the file manager, paints its rows and an empty-list
// hint, and moves one entry at a time by dragging it within the list.
// Delete removes the selected entries as the Remove button does.
//
// Operations: AddFilesToList, HandleDroppedFiles, RemoveSelected (btnRemoveClick),
// ClearEntries (btnClearClick), ListBox1MouseDown, ListBox1DragOver,
// ListBox1DragDrop, createicon, SetFrozen, ShowsCurrentRow.
#pragma once

#include <QListWidget>
#include <QPixmap>
#include <QStringList>
#include <QUrl>

namespace bitonix {

class TFileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget* parent = nullptr);

    // The entries, full paths in processing order.
    QStringList Entries() const;

    // Appends one batch of paths (FilterAndSortFiles: existing files only,
    // sorted case-insensitively) after the present entries. Each entry shows
    // its full path as its tool tip.
    void AddFilesToList(const QStringList& files);
    // Deletes the selected entries; the current row stays where it was, or
    // moves to the new last entry when it is past the end (none when empty).
    void RemoveSelected();
    // Deletes every entry.
    void ClearEntries();

    // The grey text shown centred while the list is empty.
    void SetEmptyHint(const QString& hint);
    QString EmptyHint() const { return FEmptyHint; }
    // The hint exactly as painted now: elided with an ellipsis when wider
    // than the list; empty when the list has entries.
    QString VisibleEmptyHint() const;

    // Files dropped from the file manager: the local files among `urls`, as
    // one batch of AddFilesToList. Ignored while frozen.
    void HandleDroppedFiles(const QList<QUrl>& urls);

    // Whether the current row carries its focus mark: while the list has the
    // keyboard focus, and during an internal drag, where the current row is
    // the one the dragged entry will land on.
    bool ShowsCurrentRow() const { return hasFocus() || FDragging; }

    // Frozen during a run: entries can be selected and scrolled but not
    // reordered, and nothing dropped from outside is accepted.
    void SetFrozen(bool frozen);
    bool Frozen() const { return FFrozen; }

    // Records the current row as the entry to move (-1: nothing to move).
    void ListBox1MouseDown();
    int DragSource() const { return FDragSource; }
    // Pointer at `pos` (viewport coordinates) during an internal drag: makes
    // the row under it current, scrolling by one row at the edges; returns
    // whether a drop there is accepted (false over no row).
    bool ListBox1DragOver(QPoint pos);
    // Moves the recorded entry so that it lands on the row under `pos`
    // (A,B,C,D: A dropped on C gives B,C,A,D; D on B gives A,D,B,C); below
    // the last row it goes to the end.
    void ListBox1DragDrop(QPoint pos);

    // The drag picture: `text` in bold red on a transparent background,
    // exactly as large as the text in `font` made bold.
    static QPixmap createicon(const QString& text, const QFont& font);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A drag from outside (files from the file manager) is taken only as a
    // copy: the program reads the files and never asks the source to delete
    // them. Returns whether `event` was accepted.
    bool AcceptAsCopy(QDropEvent& event) const;
    // The drag in `event` moves one of this list's entries.
    bool IsEntryDrag(const QDropEvent& event) const;

    void SetCurrentRowOnly(int row);
    void StartEntryDrag();

    QString FEmptyHint;
    bool FFrozen = false;
    int FDragSource = -1;
    bool FDragging = false; // an internal drag is over the list
    QPoint FPressPos;
};

} // namespace bitonix
