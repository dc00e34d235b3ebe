// TForm1: creation and placement of the controls.
#include "app/AnchorLayout.h"
#include "app/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
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

// Width of the window's client area the design positions are given for.
constexpr int KDesignWidth = 720;
// Width of a bottom group box: the client width less its 8-pixel margins.
constexpr int KGroupWidth = KDesignWidth - 16;

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* ImageButton(QWidget* parent, const char* name, const TImageList& images,
                         const QString& image) {
    auto* button = Named(new QPushButton(parent), name);
    button->setIcon(images.Icon(image));
    button->setIconSize(TImageList::ImageSize());
    return button;
}

// A widget that holds `inner` with the given margins around it.
QWidget* WithMargins(QWidget* inner, int left, int top, int right, int bottom) {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(left, top, right, bottom);
    layout->addWidget(inner);
    return holder;
}

} // namespace

void TForm1::CreateControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Toolbar.
    pnlToolbar = Named(new QWidget, "pnlToolbar");
    pnlToolbar->setFixedHeight(50);
    auto* toolbar = new TAnchorLayout(pnlToolbar, {KDesignWidth, 50});
    btnAdd = ImageButton(pnlToolbar, "btnAdd", VirtualImageList1, QStringLiteral("add"));
    btnRemove = ImageButton(pnlToolbar, "btnRemove", VirtualImageList1, QStringLiteral("remove"));
    btnClear = ImageButton(pnlToolbar, "btnClear", VirtualImageList1, QStringLiteral("clear"));
    Label2 = Named(new QLabel(pnlToolbar), "Label2");
    Label2->setTextFormat(Qt::RichText);
    Label2->setText(QStringLiteral("<a href=\"%1\" style=\"color:#000080; font-weight:bold; "
                                   "text-decoration:none\">bitonix.example.org</a>")
                        .arg(KWebSiteUrl));
    Label2->setCursor(Qt::PointingHandCursor);
    btnAbout = ImageButton(pnlToolbar, "btnAbout", VirtualImageList1, QStringLiteral("about"));
    toolbar->Place(btnAdd, {8, 9, 97, 32});
    toolbar->Place(btnRemove, {119, 9, 84, 32});
    toolbar->Place(btnClear, {220, 9, 119, 32});
    toolbar->Place(Label2, {536, 14, 136, 22}, TAnchor::anRight);
    toolbar->Place(btnAbout, {680, 9, 32, 32}, TAnchor::anRight);
    column->addWidget(pnlToolbar);

    // File list and preview.
    pnlCenter = Named(new QWidget, "pnlCenter");
    auto* center = new QHBoxLayout(pnlCenter);
    center->setContentsMargins(8, 0, 8, 6);
    center->setSpacing(3);
    ListBox1 = new TFileListBox;
    center->addWidget(ListBox1, 1);
    pnlPreview = Named(new QFrame, "pnlPreview");
    static_cast<QFrame*>(pnlPreview)->setFrameShape(QFrame::Box);
    pnlPreview->setFixedWidth(168);
    pnlPreview->setAutoFillBackground(true);
    QPalette white = pnlPreview->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlPreview->setPalette(white);
    auto* preview = new QVBoxLayout(pnlPreview);
    preview->setContentsMargins(1, 1, 1, 1);
    preview->setSpacing(0);
    lblPreview = Named(new QLabel, "lblPreview");
    lblPreview->setAlignment(Qt::AlignCenter);
    lblPreview->setFixedHeight(20);
    lblPreview->setAutoFillBackground(true);
    lblPreview->setBackgroundRole(QPalette::Button);
    preview->addWidget(lblPreview);
    Image1 = new TPreviewImage;
    preview->addWidget(WithMargins(Image1, 3, 0, 3, 3), 1);
    center->addWidget(pnlPreview);
    column->addWidget(pnlCenter, 1);

    // Saving.
    gbOutput = Named(new QGroupBox, "gbOutput");
    gbOutput->setFixedHeight(112);
    auto* output = new TAnchorLayout(gbOutput, {KGroupWidth, 112});
    RadioButton1 = Named(new QRadioButton(gbOutput), "RadioButton1");
    RadioButton1->setChecked(true);
    Label1 = Named(new QLabel(gbOutput), "Label1");
    Edit1 = Named(new QLineEdit(gbOutput), "Edit1");
    Edit1->setText(QStringLiteral("[BW]<filesrc>"));
    RadioButton2 = Named(new QRadioButton(gbOutput), "RadioButton2");
    edtOutputFile = Named(new QLineEdit(gbOutput), "edtOutputFile");
    btnBrowse = ImageButton(gbOutput, "btnBrowse", VirtualImageList1, QStringLiteral("browse"));
    chk1 = Named(new QCheckBox(gbOutput), "chk1");
    chk1->setChecked(true);
    output->Place(RadioButton1, {12, 24, 232, 20});
    output->Place(Label1, {248, 25, 95, 17});
    output->Place(Edit1, {345, 21, 347, 24}, TAnchor::anStretch);
    output->Place(RadioButton2, {12, 52, 320, 20});
    output->Place(edtOutputFile, {345, 62, 231, 24}, TAnchor::anStretch);
    output->Place(btnBrowse, {582, 58, 110, 32}, TAnchor::anRight);
    output->Place(chk1, {12, 82, 320, 20});
    column->addWidget(WithMargins(gbOutput, 8, 0, 8, 4));

    // Processing.
    gbProcessing = Named(new QGroupBox, "gbProcessing");
    gbProcessing->setFixedHeight(122);
    auto* processing = new TAnchorLayout(gbProcessing, {KGroupWidth, 122});
    Label7 = Named(new QLabel(gbProcessing), "Label7");
    ComboBox1 = Named(new QComboBox(gbProcessing), "ComboBox1");
    ComboBox1->addItems(DpiItems());
    ComboBox1->setCurrentText(QStringLiteral("300"));
    lblRotation = Named(new QLabel(gbProcessing), "lblRotation");
    cbRotation = Named(new QComboBox(gbProcessing), "cbRotation");
    lblContrast = Named(new QLabel(gbProcessing), "lblContrast");
    lblContrastLow = Named(new QLabel(gbProcessing), "lblContrastLow");
    tbContrast = Named(new QSlider(Qt::Horizontal, gbProcessing), "tbContrast");
    tbContrast->setRange(ContrastMin, ContrastMax);
    tbContrast->setTickInterval(10);
    tbContrast->setTickPosition(QSlider::TicksBelow);
    tbContrast->setValue(21);
    lblContrastHigh = Named(new QLabel(gbProcessing), "lblContrastHigh");
    lblPersp = Named(new QLabel(gbProcessing), "lblPersp");
    rbPerspNone = Named(new QRadioButton(gbProcessing), "rbPerspNone");
    rbPerspAuto = Named(new QRadioButton(gbProcessing), "rbPerspAuto");
    rbPerspSemi = Named(new QRadioButton(gbProcessing), "rbPerspSemi");
    rbPerspSemi->setChecked(true);
    processing->Place(Label7, {12, 25, 105, 17});
    processing->Place(ComboBox1, {120, 21, 75, 24});
    processing->Place(lblRotation, {248, 25, 95, 17});
    processing->Place(cbRotation, {345, 21, 150, 24});
    processing->Place(lblContrast, {12, 60, 122, 17});
    processing->Place(lblContrastLow, {137, 60, 52, 17});
    processing->Place(tbContrast, {190, 53, 450, 30}, TAnchor::anStretch);
    processing->Place(lblContrastHigh, {650, 60, 52, 17}, TAnchor::anRight);
    // Wider than the classic layout: the straightening caption needs the room
    // in the common desktop fonts.
    processing->Place(lblPersp, {12, 94, 248, 17});
    processing->Place(rbPerspNone, {262, 92, 86, 20});
    processing->Place(rbPerspAuto, {350, 92, 128, 20});
    processing->Place(rbPerspSemi, {480, 92, 210, 20});
    column->addWidget(WithMargins(gbProcessing, 8, 0, 8, 4));

    // Progress and START.
    pnlProgress = Named(new QWidget, "pnlProgress");
    pnlProgress->setFixedHeight(80);
    auto* progress = new TAnchorLayout(pnlProgress, {KDesignWidth, 80});
    lblProgress = Named(new QLabel(pnlProgress), "lblProgress");
    pbProgress = Named(new QProgressBar(pnlProgress), "pbProgress");
    pbProgress->setRange(0, FProgressMax);
    pbProgress->setValue(0);
    pbProgress->setTextVisible(false);
    btnStart = ImageButton(pnlProgress, "btnStart", VirtualImageList1, QStringLiteral("start"));
    QFont bold = btnStart->font();
    bold.setBold(true);
    bold.setPointSize(10);
    btnStart->setFont(bold);
    progress->Place(lblProgress, {12, 6, 564, 18}, TAnchor::anStretch);
    progress->Place(pbProgress, {12, 28, 564, 24}, TAnchor::anStretch);
    progress->Place(btnStart, {580, 24, 132, 32}, TAnchor::anRight);
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
}

} // namespace bitonix
