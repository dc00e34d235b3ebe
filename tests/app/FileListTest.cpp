// The input file list: which files enter it and in what order, drops,
// reordering by dragging, removing, the empty hint and the row painting.
#include "TestForm.h"

#include "app/FileListBox.h"
#include "app/InputFiles.h"
#include "app/ListRowDelegate.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace bitonix::test {
namespace {

QString Touch(const TScratch& scratch, const QString& name) {
    QFile file(scratch.Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return file.fileName();
}

QStringList Names(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths) {
        names.append(QFileInfo(path).fileName());
    }
    return names;
}

// Drops `paths` onto the list as the file manager would.
void DropFiles(TFileListBox& list, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    urls.append(QUrl(QStringLiteral("https://example.org/remote.pdf"))); // never a local file
    list.HandleDroppedFiles(urls);
}

// A shown list of 20-pixel rows holding `names` (no files needed).
struct TShownList {
    explicit TShownList(const QStringList& names) {
        List.resize(300, 200);
        List.addItems(names);
        List.show();
        QApplication::processEvents();
    }
    QPoint RowCentre(int row) const { return List.visualItemRect(List.item(row)).center(); }
    TFileListBox List;
};

TEST(FileList, KeepsExistingFilesOfABatchSortedAfterTheEntries) {
    TScratch scratch;
    const QString z = Touch(scratch, QStringLiteral("z.tif"));
    const QString c = Touch(scratch, QStringLiteral("c.png"));
    const QString a = Touch(scratch, QStringLiteral("a.jpg"));
    const QString b = Touch(scratch, QStringLiteral("B.pdf"));
    ASSERT_TRUE(QDir(scratch.Dir.path()).mkdir(QStringLiteral("folder")));

    TFileListBox list;
    list.AddFilesToList({z});
    DropFiles(list, {c, scratch.Path(QStringLiteral("folder")), a,
                     scratch.Path(QStringLiteral("missing.jpg")), b});
    EXPECT_EQ(Names(list.Entries()), (QStringList{"z.tif", "a.jpg", "B.pdf", "c.png"}));

    // The same file again is listed again; a folder alone adds nothing.
    list.AddFilesToList({a});
    DropFiles(list, {scratch.Path(QStringLiteral("folder"))});
    EXPECT_EQ(Names(list.Entries()), (QStringList{"z.tif", "a.jpg", "B.pdf", "c.png", "a.jpg"}));
    EXPECT_EQ(list.Entries().constFirst(), z) << "paths are kept exactly as given";
}

TEST(FileList, CommandLineFilesAreListedAtStart) {
    TScratch scratch;
    const QString b = Touch(scratch, QStringLiteral("b.jpg"));
    const QString a = Touch(scratch, QStringLiteral("A.png"));
    TTestForm form({b, scratch.Path(QStringLiteral("nothing.pdf")), a}, scratch.Config());
    EXPECT_EQ(Find<TFileListBox>(form, "ListBox1")->Entries(), (QStringList{a, b}));
}

TEST(FileList, AFrozenListRefusesDropsAndDrags) {
    TScratch scratch;
    const QString a = Touch(scratch, QStringLiteral("a.jpg"));
    TShownList shown({QStringLiteral("A"), QStringLiteral("B")});
    shown.List.SetFrozen(true);
    DropFiles(shown.List, {a});
    EXPECT_EQ(shown.List.count(), 2);
    shown.List.setCurrentRow(0);
    shown.List.ListBox1MouseDown();
    EXPECT_EQ(shown.List.DragSource(), -1);
    shown.List.SetFrozen(false);
    DropFiles(shown.List, {a});
    EXPECT_EQ(shown.List.count(), 3);
}

struct TMoveCase {
    int Source;
    int Target; // row dropped on
    QStringList Expected;
    int Current; // current row afterwards; -1 when the entry went to the end
};

TEST(FileList, DraggedEntryLandsOnTheRowItIsDroppedOn) {
    const std::vector<TMoveCase> cases = {
        {0, 2, {"B", "C", "A", "D"}, 2},
        {3, 1, {"A", "D", "B", "C"}, 1},
        {0, 3, {"B", "C", "D", "A"}, -1},
    };
    for (const TMoveCase& c : cases) {
        SCOPED_TRACE(c.Source * 10 + c.Target);
        TShownList shown({"A", "B", "C", "D"});
        const QPoint target = shown.RowCentre(c.Target);
        shown.List.setCurrentRow(c.Source);
        shown.List.ListBox1MouseDown();
        EXPECT_TRUE(shown.List.ListBox1DragOver(target));
        shown.List.ListBox1DragDrop(target);
        EXPECT_EQ(shown.List.Entries(), c.Expected);
        EXPECT_EQ(shown.List.currentRow(), c.Current);
    }
}

TEST(FileList, DragMovesOnlyTheCurrentEntryAndIsRefusedBelowTheRows) {
    TShownList shown({"A", "B", "C", "D"});
    shown.List.item(0)->setSelected(true);
    shown.List.item(1)->setSelected(true);
    shown.List.selectionModel()->setCurrentIndex(shown.List.model()->index(1, 0),
                                                 QItemSelectionModel::NoUpdate);
    shown.List.ListBox1MouseDown();
    const QPoint below(10, shown.RowCentre(3).y() + 40);
    EXPECT_FALSE(shown.List.ListBox1DragOver(below));
    shown.List.ListBox1DragDrop(shown.RowCentre(3));
    EXPECT_EQ(shown.List.Entries(), (QStringList{"A", "C", "D", "B"}));
}

TEST(FileList, RemoveKeepsTheCurrentRowInRange) {
    TShownList shown({"A", "B", "C", "D"});
    shown.List.setCurrentRow(3); // selects D alone
    shown.List.RemoveSelected();
    EXPECT_EQ(shown.List.Entries(), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(shown.List.currentRow(), 2);

    shown.List.setCurrentRow(1);
    shown.List.item(0)->setSelected(true);
    shown.List.RemoveSelected();
    EXPECT_EQ(shown.List.Entries(), (QStringList{"C"}));
    EXPECT_EQ(shown.List.currentRow(), 0);

    shown.List.selectAll();
    shown.List.RemoveSelected();
    EXPECT_EQ(shown.List.count(), 0);
    EXPECT_EQ(shown.List.currentRow(), -1);

    shown.List.addItems({"X", "Y"});
    shown.List.ClearEntries();
    EXPECT_EQ(shown.List.count(), 0);
}

// Pixels of the list's viewport painted in `colour`.
int CountColour(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
        }
    }
    return n;
}

TEST(FileList, EmptyListShowsTheGreyHintCentredAndElided) {
    TScratch scratch;
    TTestForm form({}, scratch.Config());
    form.show();
    QApplication::processEvents();
    TFileListBox& list = *Find<TFileListBox>(form, "ListBox1");
    EXPECT_EQ(list.VisibleEmptyHint(), form.Strings().SListEmptyHint);
    const QColor grey = list.palette().color(QPalette::Disabled, QPalette::Text);
    const QImage painted = list.viewport()->grab().toImage();
    // Grey text in the middle band, none near the top where rows would be.
    const QImage middle = painted.copy(0, painted.height() / 2 - 10, painted.width(), 20);
    const QImage top = painted.copy(0, 0, painted.width(), 20);
    EXPECT_GT(CountColour(middle, grey), 0);
    EXPECT_EQ(CountColour(top, grey), 0);

    list.SetEmptyHint(QString(300, QLatin1Char('w')));
    EXPECT_TRUE(list.VisibleEmptyHint().endsWith(QChar(0x2026)));

    list.addItem(QStringLiteral("/x/y.png"));
    EXPECT_TRUE(list.VisibleEmptyHint().isEmpty());
}

TEST(FileList, SelectedRowsAreBlueOnLightBlue) {
    TShownList shown({"/a/one.png", "/a/two.png"});
    shown.List.setCurrentRow(0);
    const QImage painted = shown.List.viewport()->grab().toImage();
    const QRect row0 = shown.List.visualItemRect(shown.List.item(0));
    const QRect row1 = shown.List.visualItemRect(shown.List.item(1));
    EXPECT_EQ(row0.height(), TListRowDelegate::KRowHeight);
    EXPECT_EQ(painted.pixelColor(row0.left(), row0.center().y()).rgb(),
              TListRowDelegate::SelectedOutline().rgb());
    EXPECT_EQ(painted.pixelColor(row0.right() - 3, row0.center().y()).rgb(),
              TListRowDelegate::SelectedFill().rgb());
    const QImage second = painted.copy(row1);
    EXPECT_EQ(CountColour(second, TListRowDelegate::SelectedOutline()), 0);
    EXPECT_EQ(CountColour(second, TListRowDelegate::SelectedFill()), 0);
}

TEST(FileList, DragPictureIsTheBoldRedPathOnTransparent) {
    QFont font;
    const QString text = QStringLiteral("/docs/scan.pdf");
    const QImage icon = TFileListBox::createicon(text, font).toImage();
    QFont bold(font);
    bold.setBold(true);
    EXPECT_EQ(icon.width(), QFontMetrics(bold).horizontalAdvance(text));
    EXPECT_EQ(icon.height(), QFontMetrics(bold).height());
    int red = 0;
    int clear = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QColor c = icon.pixelColor(x, y);
            clear += c.alpha() == 0 ? 1 : 0;
            red += (c.alpha() == 255 && c.red() == 255 && c.green() == 0 && c.blue() == 0) ? 1 : 0;
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(clear, icon.width() * icon.height() / 2);
}

TEST(InputFiles, SortingIgnoresCase) {
    TScratch scratch;
    const QString b = Touch(scratch, QStringLiteral("b.png"));
    const QString a = Touch(scratch, QStringLiteral("A.png"));
    const QString c = Touch(scratch, QStringLiteral("C.png"));
    EXPECT_EQ(FilterAndSortFiles({c, b, a, QString()}), (QStringList{a, b, c}));
}

} // namespace
} // namespace bitonix::test

namespace bitonix::test {
namespace {

// A drag from outside with local files, offering `actions`, the Shift key
// held (a file manager then proposes Move), and what the list answered to
// its enter, move and drop events.
struct TOutsideDrop {
    TOutsideDrop(const QStringList& paths, Qt::DropActions actions) : Actions(actions) {
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls << QUrl::fromLocalFile(path);
        }
        Mime.setUrls(urls);
    }
    void Drop(TFileListBox& list, QPoint pos) {
        QDragEnterEvent enter(pos, Actions, &Mime, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(list.viewport(), &enter);
        Answers.push_back({enter.isAccepted(), enter.dropAction()});
        QDragMoveEvent move(pos, Actions, &Mime, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(list.viewport(), &move);
        Answers.push_back({move.isAccepted(), move.dropAction()});
        QDropEvent drop(QPointF(pos), Actions, &Mime, Qt::LeftButton, Qt::ShiftModifier);
        Proposed = drop.proposedAction();
        QApplication::sendEvent(list.viewport(), &drop);
        Answers.push_back({drop.isAccepted(), drop.dropAction()});
    }
    QMimeData Mime;
    Qt::DropActions Actions;
    Qt::DropAction Proposed = Qt::IgnoreAction;
    std::vector<std::pair<bool, Qt::DropAction>> Answers; // enter, move, drop
};

TEST(FileList, DropsFromOutsideAreTakenAsCopiesNeverAsMoves) {
    TScratch scratch;
    const QString a = Touch(scratch, QStringLiteral("a.jpg"));
    TShownList shown({});
    TOutsideDrop offered({a}, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    offered.Drop(shown.List, QPoint(20, 20));
    EXPECT_EQ(offered.Proposed, Qt::MoveAction) << "the source proposed a move";
    for (const auto& [accepted, action] : offered.Answers) {
        EXPECT_TRUE(accepted);
        EXPECT_EQ(action, Qt::CopyAction);
    }
    EXPECT_EQ(shown.List.Entries(), QStringList{a});

    // A source that offers nothing but a move is refused, and keeps its file.
    TOutsideDrop moveOnly({a}, Qt::MoveAction);
    moveOnly.Drop(shown.List, QPoint(20, 20));
    for (const auto& answer : moveOnly.Answers) {
        EXPECT_FALSE(answer.first);
    }
    EXPECT_EQ(shown.List.count(), 1);
}

// Whether row `row` of the painted list carries the dotted focus mark: dark
// pixels on the line one pixel inside the row's top edge.
bool HasFocusMark(const TFileListBox& list, const QImage& painted, int row) {
    const QRect rect = list.visualItemRect(list.item(row));
    const QColor text = list.palette().color(QPalette::Text);
    int dark = 0;
    for (int x = rect.left() + 1; x < rect.right() - 1; ++x) {
        dark += painted.pixelColor(x, rect.top() + 1).rgb() == text.rgb() ? 1 : 0;
    }
    return dark > rect.width() / 4;
}

TEST(FileList, TheCurrentRowIsMarkedWithFocusAndWhereADraggedEntryWillLand) {
    TShownList shown({"A", "B", "C", "D"});
    TFileListBox& list = shown.List;
    list.setCurrentRow(0);
    list.clearFocus();
    QImage painted = list.viewport()->grab().toImage();
    EXPECT_FALSE(HasFocusMark(list, painted, 0)) << "no focus, no drag: no mark";

    list.ListBox1MouseDown();
    ASSERT_TRUE(list.ListBox1DragOver(shown.RowCentre(2)));
    painted = list.viewport()->grab().toImage();
    EXPECT_TRUE(HasFocusMark(list, painted, 2)) << "the row the entry will land on";
    for (int row : {0, 1, 3}) {
        EXPECT_FALSE(HasFocusMark(list, painted, row)) << row;
    }
    EXPECT_TRUE(list.item(0)->isSelected()) << "the mark is no selection";

    list.ListBox1DragDrop(shown.RowCentre(2));
    painted = list.viewport()->grab().toImage();
    EXPECT_FALSE(HasFocusMark(list, painted, 2));

    // With the keyboard focus, on a selected row too, in other colours.
    list.setFocus();
    QApplication::setActiveWindow(&list);
    list.setCurrentRow(1);
    ASSERT_TRUE(list.hasFocus());
    painted = list.viewport()->grab().toImage();
    EXPECT_TRUE(HasFocusMark(list, painted, 1));
    const QRect row1 = list.visualItemRect(list.item(1));
    EXPECT_EQ(painted.pixelColor(row1.left(), row1.center().y()).rgb(),
              TListRowDelegate::SelectedOutline().rgb());
}

TEST(FileList, LongPathsAreShortenedInTheMiddleWithTheWholePathAsTip) {
    TScratch scratch;
    const QString deep = QStringLiteral("one/two/three/four/five/six/seven/eight");
    ASSERT_TRUE(QDir(scratch.Dir.path()).mkpath(deep));
    const QString first = Touch(scratch, deep + QStringLiteral("/first-page.jpg"));
    const QString second = Touch(scratch, deep + QStringLiteral("/second-page.jpg"));
    TShownList shown({});
    shown.List.resize(260, 200);
    shown.List.AddFilesToList({first, second});
    QApplication::processEvents();

    const QFontMetrics metrics(shown.List.font());
    const QRect row = shown.List.visualItemRect(shown.List.item(0));
    EXPECT_GE(row.width(), shown.List.viewport()->width() - 1) << "rows span the list";
    QStringList shownTexts;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(shown.List.item(i)->toolTip(), shown.List.Entries()[i]);
        const QString text =
            TListRowDelegate::ShownText(shown.List.Entries()[i], metrics, row.width());
        EXPECT_TRUE(text.contains(QChar(0x2026))) << text.toStdString();
        EXPECT_LE(metrics.horizontalAdvance(text), row.width());
        EXPECT_TRUE(text.startsWith(scratch.Dir.path().left(3)));
        shownTexts << text;
    }
    EXPECT_TRUE(shownTexts[0].endsWith(QStringLiteral("first-page.jpg")));
    EXPECT_TRUE(shownTexts[1].endsWith(QStringLiteral("second-page.jpg")));
    const QString shortPath = QStringLiteral("/a/b.png");
    EXPECT_EQ(TListRowDelegate::ShownText(shortPath, metrics, row.width()), shortPath);
}

} // namespace
} // namespace bitonix::test
