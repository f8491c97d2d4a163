#include "app/MainWindow.h"

#include "app/Accessibility.h"
#include "app/FirstWindow.h"
#include "app/FontSubstitute.h"
#include "app/StyleSheets.h"
#include "CapturePlatform.h"
#include "DeviceWatcher.h"
#include "settings/KeptSettings.h"
#include "ui_MainWindow.h"

#include <QCameraImageCapture>
#include <QCameraViewfinder>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QtGlobal>

// The form's images, registered during static initialisation. This object file
// comes before the capture library on the link line of every window program,
// so the collection is registered before the global CaptureDevice is made.
// Q_INIT_RESOURCE declares its function at block scope, hence outside any namespace.
static void registerResources() { Q_INIT_RESOURCE(resources); }
static void unregisterResources() { Q_CLEANUP_RESOURCE(resources); }

namespace {
struct ResourceCollection {
    ResourceCollection() { registerResources(); }
    ~ResourceCollection() { unregisterResources(); }
};
const ResourceCollection resourceCollection;

// The status label's font. Each later setting of an attribute replaces the
// earlier one; the font ends as "Aril", 16 pt, weight 25, italic, absolute
// spacing 1.0, capitalised.
QFont statusTitleFont()
{
    QFont titleFont;
    titleFont.setFamily(QStringLiteral("Aril"));
    titleFont.setPixelSize(20);
    titleFont.setWeight(75);
    titleFont.setStyle(QFont::StyleItalic);
    titleFont.setPointSize(16);
    titleFont.setWeight(25);
    titleFont.setLetterSpacing(QFont::PercentageSpacing, 50);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    titleFont.setCapitalization(QFont::Capitalize);
    return titleFont;
}
}  // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent, Qt::WindowFlags()),
      ui(std::make_unique<Ui_MainWindow>()),
      statusLabel(nullptr),
      cameraComboBox(nullptr),
      camera(nullptr),
      viewfinder(nullptr),
      deviceInfoLabel(nullptr),
      previewStarted(0)
{
    vidorra::adoptFormFonts();
    vidorra::installAccessibleInterfaces();
#ifdef Q_OS_WIN
    // A window of its own, not this one's native window: made before the form
    // sizes it, that would be placed for Qt's default size.
    vidorra::makeFirstWindowBesideFontSearch(&statusTitleFont);
#endif
    ui->setupUi(this);
    // Before anything restyles the form's switches: it takes their own style.
    kept = new KeptSettings(ui->centralWidget, ui->pushButton_FlipV, this);

    for (QWidget *watched : {static_cast<QWidget *>(ui->label_HOME), static_cast<QWidget *>(ui->label_SetUp),
                             static_cast<QWidget *>(ui->label_UVCSettings),
                             static_cast<QWidget *>(ui->radioButton_Bright), static_cast<QWidget *>(ui->radioButton_PC),
                             static_cast<QWidget *>(ui->radioButton_Clarity),
                             static_cast<QWidget *>(ui->radioButton_Default),
                             static_cast<QWidget *>(ui->radioButton_Normal), static_cast<QWidget *>(ui->radioButton_Face),
                             static_cast<QWidget *>(ui->radioButton_ClarityLED)})
        watched->installEventFilter(this);

    ui->label_HOME->setAttribute(Qt::WA_MouseTracking);
    ui->label_SetUp->setAttribute(Qt::WA_MouseTracking);
    ui->label_UVCSettings->setAttribute(Qt::WA_MouseTracking);

    ui->tabWidget_tabsetup->setEnabled(false);
    ui->tabWidget_tabsetup->setStyleSheet(QString::fromLatin1(vidorra::style::HiddenTabs));

    statusLabel = new QLabel;
    statusLabel->setMinimumSize(150, 20);
    statusLabel->setFrameShape(QFrame::WinPanel);
    statusLabel->setFrameShadow(QFrame::Sunken);
    ui->statusBar->addWidget(statusLabel, 0);
    statusLabel->setText(tr("Vidorra"));
    statusLabel->setStyleSheet(QString::fromLatin1(vidorra::style::StatusTitle));
    statusLabel->setFont(statusTitleFont());
    QPalette titlePalette;
    titlePalette.setBrush(QPalette::All, QPalette::WindowText, QBrush(Qt::white, Qt::SolidPattern));
    statusLabel->setPalette(titlePalette);

    cameraComboBox = new QComboBox;
    ui->statusBar->addWidget(cameraComboBox, 0);
    cameraComboBox->setMinimumSize(200, 30);
    cameraComboBox->clear();
    cameraComboBox->setGeometry(0, 0, 160, 60);
    cameraComboBox->setCurrentIndex(0);
    cameraComboBox->setStyleSheet(QString::fromLatin1(vidorra::style::WhiteBackground));

    deviceInfoLabel = new QLabel(this);
    deviceInfoLabel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    deviceInfoLabel->setText(QStringLiteral("device info"));
    deviceInfoLabel->setTextFormat(Qt::RichText);
    deviceInfoLabel->setOpenExternalLinks(true);
    deviceInfoLabel->setStyleSheet(QString::fromLatin1(vidorra::style::WhiteBackground));
    deviceInfoLabel->setMaximumSize(200, 30);
    ui->statusBar->addPermanentWidget(deviceInfoLabel, 0);

    auto *openCameraButton = new QPushButton(this);
    openCameraButton->setText(QStringLiteral("Open Camera"));
    openCameraButton->setMaximumSize(100, 26);
    openCameraButton->setStyleSheet(QString::fromLatin1(vidorra::style::OpenCameraButton));
    ui->statusBar->addWidget(openCameraButton, 0);

    fillCameraList();

    viewfinder = new QCameraViewfinder(ui->label_cameraview);
    previewStarted = 0;

    connect(openCameraButton, SIGNAL(clicked()), this, SLOT(on_button_start_preview()), Qt::AutoConnection);
    vidorra::describeControls(*this, *ui, cameraComboBox, openCameraButton);

    // Where the platform sends no window message for device changes, the
    // backend's watcher stands in for it.
    vidorra::CapturePlatform &platform = vidorra::installedPlatform();
    if (!platform.sendsDeviceChangesToWindows())
        if (vidorra::DeviceWatcher *watcher = platform.watchDevices(this))
            connect(watcher, &vidorra::DeviceWatcher::devicesChanged, this, &MainWindow::rebuildCameraList);
}

// The form object goes first, the image capture next (while its camera still
// exists), then the base class deletes the widget tree and the camera.
MainWindow::~MainWindow() = default;

void MainWindow::enterEvent(QEvent *) {}
void MainWindow::leaveEvent(QEvent *) {}
void MainWindow::paintEvent(QPaintEvent *) {}
void MainWindow::resizeEvent(QResizeEvent *) {}

void MainWindow::on_pushButton_clicked() {}
void MainWindow::on_comboBox_clicked1(int) {}
