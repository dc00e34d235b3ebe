// TForm1: creation and layout of the controls, their tab order, and the fit
// of the layout to the texts of the language in force.
//
// Top to bottom: the toolbar, the file list beside the preview (the only part
// that grows with the window's height), the Saving and Processing groups and
// the progress panel. Every control takes at least its design size and more
// where its text needs it; stretching controls take the extra width.
#include "app/MainWindow.h"

#include "support/AtLeast.h"
#include "support/MessageBox.h"
#include "support/WindowTools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QVBoxLayout>

namespace bitonix {

namespace {

// The smallest the window becomes, where the texts need no more.
constexpr QSize KMinimumSize(736, 620);
// Design widths of the first two columns of both groups (radio buttons and
// the quality row; the pattern and rotation labels).
constexpr int KFirstColumn = 232;
constexpr int KSecondColumn = 93;
constexpr int KSpacing = 4;

// A push button with an image of the image list: at least `design` large,
// wider where its caption needs it. Enter presses it while it has the focus.
QPushButton* ImageButton(QWidget* parent, const char* name, const TImageList& images,
                         const QString& image, QSize design) {
    auto* button = Named(new TAtLeast<QPushButton>(design, parent), name);
    button->setIcon(images.Icon(image));
    button->setIconSize(TImageList::ImageSize());
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button->setAutoDefault(true);
    return button;
}

// A label at least `minimumWidth` wide, wider where its text needs it.
QLabel* FieldLabel(QWidget* parent, const char* name, int minimumWidth) {
    return Named(new TAtLeast<QLabel>(QSize(minimumWidth, 0), parent), name);
}

// A widget that holds `inner` with the given margins around it.
QWidget* WithMargins(QWidget* inner, int left, int top, int right, int bottom) {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(left, top, right, bottom);
    layout->addWidget(inner);
    return holder;
}

// Only the checked radio button of `group` is a Tab stop, so that Tab enters
// the group on its choice; the arrow keys still move within the group.
void TabStopOnCheckedRadio(QWidget* window, const QList<QRadioButton*>& group) {
    const auto refresh = [group] {
        for (QRadioButton* radio : group) {
            radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        }
    };
    for (QRadioButton* radio : group) {
        QObject::connect(radio, &QRadioButton::toggled, window,
                         [window, refresh] { Guarded(window, refresh); });
    }
    refresh();
}

// The widest of the items of `grid` that start in `column` and span exactly
// `span` columns.
int NaturalWidth(const QGridLayout& grid, int column, int span) {
    int widest = 0;
    for (int i = 0; i < grid.count(); ++i) {
        int row = 0;
        int col = 0;
        int rowSpan = 0;
        int colSpan = 0;
        grid.getItemPosition(i, &row, &col, &rowSpan, &colSpan);
        if (col == column && colSpan == span) {
            widest = qMax(widest, grid.itemAt(i)->sizeHint().width());
        }
    }
    return widest;
}

} // namespace

void TForm1::CreateControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    CreateToolbar();
    column->addWidget(pnlToolbar);
    CreateCenter();
    column->addWidget(pnlCenter, 1);
    CreateOutputGroup();
    column->addWidget(WithMargins(gbOutput, 8, 0, 8, 4));
    CreateProcessingGroup();
    column->addWidget(WithMargins(gbProcessing, 8, 0, 8, 4));
    CreateProgressPanel();
    column->addWidget(pnlProgress);

    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    FStatusLabel = new QLabel(StatusBar1);
    StatusBar1->addWidget(FStatusLabel, 1);
    setStatusBar(StatusBar1);

    dlgOpen = Named(new QFileDialog(this), "dlgOpen");
    dlgOpen->setFileMode(QFileDialog::ExistingFiles);
    dlgOpen->setAcceptMode(QFileDialog::AcceptOpen);
    dlgSave = Named(new QFileDialog(this), "dlgSave");
    dlgSave->setAcceptMode(QFileDialog::AcceptSave);
    dlgSave->setFileMode(QFileDialog::AnyFile);
    dlgSave->setDefaultSuffix(QStringLiteral("pdf"));

    SetTabOrder();
}

// The three list buttons on the left, the web link and the About button on
// the right.
void TForm1::CreateToolbar() {
    pnlToolbar = Named(new TAtLeast<QWidget>(QSize(0, 50)), "pnlToolbar");
    pnlToolbar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* toolbar = new QHBoxLayout(pnlToolbar);
    toolbar->setContentsMargins(8, 9, 8, 9);
    toolbar->setSpacing(0);
    const TImageList& images = VirtualImageList1;
    btnAdd = ImageButton(pnlToolbar, "btnAdd", images, QStringLiteral("add"), {97, 32});
    btnRemove = ImageButton(pnlToolbar, "btnRemove", images, QStringLiteral("remove"), {84, 32});
    btnClear = ImageButton(pnlToolbar, "btnClear", images, QStringLiteral("clear"), {119, 32});
    Label2 = Named(new QLabel(pnlToolbar), "Label2");
    SetWebLink(*Label2, KWebSiteUrl, QUrl(KWebSiteUrl).host());
    btnAbout = ImageButton(pnlToolbar, "btnAbout", images, QStringLiteral("about"), {32, 32});
    btnAbout->setFixedSize(32, 32);
    toolbar->addWidget(btnAdd);
    toolbar->addSpacing(14);
    toolbar->addWidget(btnRemove);
    toolbar->addSpacing(17);
    toolbar->addWidget(btnClear);
    toolbar->addStretch(1);
    toolbar->addSpacing(16);
    toolbar->addWidget(Label2);
    toolbar->addSpacing(8);
    toolbar->addWidget(btnAbout);
}

// The file list takes the width; the preview keeps its 168 pixels.
void TForm1::CreateCenter() {
    pnlCenter = Named(new QWidget, "pnlCenter");
    auto* center = new QHBoxLayout(pnlCenter);
    center->setContentsMargins(8, 0, 8, 6);
    center->setSpacing(3);
    ListBox1 = new TFileListBox;
    center->addWidget(ListBox1, 1);
    auto* preview = Named(new QFrame, "pnlPreview");
    preview->setFrameShape(QFrame::Box);
    preview->setFixedWidth(168);
    preview->setAutoFillBackground(true);
    QPalette white = preview->palette();
    white.setColor(QPalette::Window, Qt::white);
    preview->setPalette(white);
    pnlPreview = preview;
    auto* previewColumn = new QVBoxLayout(pnlPreview);
    previewColumn->setContentsMargins(1, 1, 1, 1);
    previewColumn->setSpacing(0);
    lblPreview = Named(new TAtLeast<QLabel>(QSize(0, 20)), "lblPreview");
    lblPreview->setAlignment(Qt::AlignCenter);
    lblPreview->setAutoFillBackground(true);
    lblPreview->setBackgroundRole(QPalette::Button);
    previewColumn->addWidget(lblPreview);
    Image1 = new TPreviewImage;
    previewColumn->addWidget(WithMargins(Image1, 3, 0, 3, 3), 1);
    center->addWidget(pnlPreview);
}

// Rows: separate files with the pattern; merged with the output file and
// the browse button (which stand between the merge choice and the check box
// below it); the open-folder check box.
void TForm1::CreateOutputGroup() {
    gbOutput = Named(new TAtLeast<QGroupBox>(QSize(0, 112)), "gbOutput");
    gbOutput->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    RadioButton1 = Named(new QRadioButton(gbOutput), "RadioButton1");
    RadioButton1->setChecked(true);
    Label1 = Named(new QLabel(gbOutput), "Label1");
    Edit1 = Named(new QLineEdit(gbOutput), "Edit1");
    Edit1->setText(QStringLiteral("[BW]<filesrc>"));
    RadioButton2 = Named(new QRadioButton(gbOutput), "RadioButton2");
    edtOutputFile = Named(new TAtLeast<QLineEdit>(QSize(120, 0), gbOutput), "edtOutputFile");
    btnBrowse =
        ImageButton(gbOutput, "btnBrowse", VirtualImageList1, QStringLiteral("browse"), {110, 32});
    chk1 = Named(new QCheckBox(gbOutput), "chk1");
    chk1->setChecked(true);

    FOutputGrid = new QGridLayout(gbOutput);
    FOutputGrid->setContentsMargins(10, 4, 10, 6);
    FOutputGrid->setHorizontalSpacing(KSpacing);
    FOutputGrid->setVerticalSpacing(6);
    FOutputGrid->addWidget(RadioButton1, 0, 0);
    FOutputGrid->addWidget(Label1, 0, 1);
    FOutputGrid->addWidget(Edit1, 0, 2, 1, 2);
    FOutputGrid->addWidget(RadioButton2, 1, 0, 1, 2);
    FOutputGrid->addWidget(edtOutputFile, 1, 2, 2, 1, Qt::AlignVCenter);
    FOutputGrid->addWidget(btnBrowse, 1, 3, 2, 1, Qt::AlignVCenter);
    FOutputGrid->addWidget(chk1, 2, 0, 1, 2);
    FOutputGrid->setColumnStretch(2, 1);
    TabStopOnCheckedRadio(this, {RadioButton1, RadioButton2});
}

// Rows: quality and rotation (in the columns of the Saving group); black
// intensity with its slider between "darker" and "lighter"; the
// straightening choice.
void TForm1::CreateProcessingGroup() {
    gbProcessing = Named(new TAtLeast<QGroupBox>(QSize(0, 122)), "gbProcessing");
    gbProcessing->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    Label7 = FieldLabel(gbProcessing, "Label7", 105);
    ComboBox1 = Named(new TAtLeast<QComboBox>(QSize(75, 0), gbProcessing), "ComboBox1");
    ComboBox1->addItems(DpiItems());
    ComboBox1->setCurrentText(QStringLiteral("300"));
    lblRotation = Named(new QLabel(gbProcessing), "lblRotation");
    cbRotation = Named(new TAtLeast<QComboBox>(QSize(150, 0), gbProcessing), "cbRotation");
    lblContrast = FieldLabel(gbProcessing, "lblContrast", 118);
    lblContrastLow = FieldLabel(gbProcessing, "lblContrastLow", 50);
    tbContrast = Named(new QSlider(Qt::Horizontal, gbProcessing), "tbContrast");
    tbContrast->setRange(ContrastMin, ContrastMax);
    tbContrast->setTickInterval(10);
    tbContrast->setTickPosition(QSlider::TicksBelow);
    tbContrast->setValue(21);
    tbContrast->setMinimumWidth(150);
    lblContrastHigh = Named(new QLabel(gbProcessing), "lblContrastHigh");
    lblPersp = FieldLabel(gbProcessing, "lblPersp", 200);
    rbPerspNone = Named(new TAtLeast<QRadioButton>(QSize(116, 0), gbProcessing), "rbPerspNone");
    rbPerspAuto = Named(new TAtLeast<QRadioButton>(QSize(136, 0), gbProcessing), "rbPerspAuto");
    rbPerspSemi = Named(new QRadioButton(gbProcessing), "rbPerspSemi");
    rbPerspSemi->setChecked(true);

    auto* quality = new QHBoxLayout;
    quality->setSpacing(KSpacing);
    quality->addWidget(Label7);
    quality->addWidget(ComboBox1);
    quality->addStretch(1);
    FProcessingGrid = new QGridLayout;
    FProcessingGrid->setHorizontalSpacing(KSpacing);
    FProcessingGrid->addLayout(quality, 0, 0);
    FProcessingGrid->addWidget(lblRotation, 0, 1);
    FProcessingGrid->addWidget(cbRotation, 0, 2, Qt::AlignLeft);
    FProcessingGrid->setColumnStretch(2, 1);

    auto* contrast = new QHBoxLayout;
    contrast->setSpacing(KSpacing);
    contrast->addWidget(lblContrast);
    contrast->addSpacing(KSpacing);
    contrast->addWidget(lblContrastLow);
    contrast->addWidget(tbContrast, 1);
    contrast->addSpacing(6);
    contrast->addWidget(lblContrastHigh);

    auto* straighten = new QHBoxLayout;
    straighten->setSpacing(KSpacing);
    straighten->addWidget(lblPersp);
    straighten->addSpacing(KSpacing);
    straighten->addWidget(rbPerspNone);
    straighten->addWidget(rbPerspAuto);
    straighten->addWidget(rbPerspSemi);
    straighten->addStretch(1);

    auto* rows = new QVBoxLayout(gbProcessing);
    rows->setContentsMargins(10, 4, 10, 6);
    rows->setSpacing(4);
    rows->addLayout(FProcessingGrid);
    rows->addLayout(contrast);
    rows->addLayout(straighten);
    TabStopOnCheckedRadio(this, {rbPerspNone, rbPerspAuto, rbPerspSemi});
}

// The progress text above the bar, START beside the bar at the right.
void TForm1::CreateProgressPanel() {
    pnlProgress = Named(new TAtLeast<QWidget>(QSize(0, 80)), "pnlProgress");
    pnlProgress->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    lblProgress = Named(new QLabel(pnlProgress), "lblProgress");
    pbProgress = Named(new QProgressBar(pnlProgress), "pbProgress");
    pbProgress->setRange(0, FProgressMax);
    pbProgress->setValue(0);
    pbProgress->setTextVisible(false);
    pbProgress->setFixedHeight(24);
    btnStart =
        ImageButton(pnlProgress, "btnStart", VirtualImageList1, QStringLiteral("start"), {132, 32});
    btnStart->setFont(WithPointSize(btnStart->font(), 10, true));

    auto* progress = new QGridLayout(pnlProgress);
    progress->setContentsMargins(12, 6, 8, 6);
    progress->setHorizontalSpacing(KSpacing);
    progress->setVerticalSpacing(4);
    progress->addWidget(lblProgress, 0, 0, 1, 2);
    progress->addWidget(pbProgress, 1, 0, Qt::AlignVCenter);
    progress->addWidget(btnStart, 1, 1, Qt::AlignVCenter);
    progress->setColumnStretch(0, 1);
    progress->setRowStretch(2, 1);
}

// The order the controls stand in, left to right and top to bottom.
void TForm1::SetTabOrder() {
    const QList<QWidget*> order = {
        btnAdd,     btnRemove,    btnClear,      Label2,      btnAbout, ListBox1,  RadioButton1,
        Edit1,      RadioButton2, edtOutputFile, btnBrowse,   chk1,     ComboBox1, cbRotation,
        tbContrast, rbPerspNone,  rbPerspAuto,   rbPerspSemi, btnStart};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void TForm1::FitLayoutToTexts() {
    const int first = qMax(
        KFirstColumn, qMax(NaturalWidth(*FOutputGrid, 0, 1), NaturalWidth(*FProcessingGrid, 0, 1)));
    int second = qMax(KSecondColumn,
                      qMax(NaturalWidth(*FOutputGrid, 1, 1), NaturalWidth(*FProcessingGrid, 1, 1)));
    // The merge choice and the check box span both columns.
    second = qMax(second, NaturalWidth(*FOutputGrid, 0, 2) - first - KSpacing);
    for (QGridLayout* grid : {FOutputGrid, FProcessingGrid}) {
        grid->setColumnMinimumWidth(0, first);
        grid->setColumnMinimumWidth(1, second);
    }
    setMinimumSize(KMinimumSize.expandedTo(minimumSizeHint()));
}

} // namespace bitonix
