// The one main window. Its behaviour is spread over one file per concern:
// app/ (construction, event filter, navigation, native events), preview/
// (camera list, live preview) and settings/ (device information, sliders,
// switches, presets).
#pragma once

#include <QCamera>
#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <memory>

class QCameraImageCapture;
class QCameraViewfinder;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class KeptSettings;
class QTimer;
class RefusalNotice;
class Ui_MainWindow;
namespace vidorra {
struct Preset;
struct VendorControl;
}

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Read-only views for tests and tools; the window itself uses the members.
    Ui_MainWindow *form() const { return ui.get(); }
    QComboBox *cameraList() const { return cameraComboBox; }
    const QStringList &cameraDeviceNames() const { return deviceNames; }
    QCamera *previewCamera() const { return previewStarted ? camera : nullptr; }
    QCameraViewfinder *previewViewfinder() const { return viewfinder; }
    QLabel *deviceInfo() const { return deviceInfoLabel; }
    QLabel *titleLabel() const { return statusLabel; }
    KeptSettings *keptSettings() const { return kept; }
    int isPreviewStarted() const { return previewStarted; }

    // For a screen too small for the form at a readable scale: the window
    // shrinks to `room` where it is larger, and the form between its menu bar
    // and status bar scrolls. Nothing of the form changes but where it sits.
    void scrollFormWithin(QSize room);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;

private slots:
    void on_pushButton_clicked();
    void on_button_start_preview();
    void on_comboBox_clicked1(int i);
    void on_camera_error(QCamera::Status state);
    void on_horizontalSlider_RedGain_valueChanged(int value);
    void on_horizontalSlider_BlueGain_valueChanged(int value);
    void on_horizontalSlider_DRC_valueChanged(int value);
    void on_horizontalSlider_NR2D_valueChanged(int value);
    void on_horizontalSlider_NR3D_valueChanged(int value);
    void on_pushButton_FlipV_clicked();
    void on_pushButton_FlipH_clicked();
    void on_pushButton_H264Switch_clicked();
    void on_pushButton_AudioSwitch_clicked();
    void on_pushButton_ExposureCompensationSwitch_clicked();
    void on_horizontalSlider_CompValue_valueChanged(int value);
    void on_pushButton_RestoreDefault_clicked();
    void on_horizontalSlider_CompValue_sliderMoved(int position);
    void on_horizontalSlider_RedGain_sliderMoved(int position);
    void on_horizontalSlider_BlueGain_sliderMoved(int position);
    void on_horizontalSlider_DRC_sliderMoved(int position);
    void on_horizontalSlider_NR2D_sliderMoved(int position);
    void on_horizontalSlider_NR3D_sliderMoved(int position);

private:
    // preview/
    void fillCameraList();
    void rebuildCameraList();
    void lookAgainAfterBurst();
    // settings/
    void readDeviceInfo();
    void setSwitchStyle(QPushButton *button, bool on);
    void setSwitchDisplay(QPushButton *button, bool on);
    void showSetting(const vidorra::VendorControl &control, std::uint8_t byte);
    bool sendSetting(int selector, int value, QWidget *control);
    void sendSliderPosition(QSlider *slider, int position);
    bool flipSwitch(QPushButton *button);
    void flipRebootingSwitch(QPushButton *button, const QString &feature);
    void showRefusal(QWidget *control, std::int32_t status);
    bool confirm(const QString &question);
    const vidorra::Preset *presetOf(const QObject *watched) const;
    bool sendPreset(QWidget *button, const vidorra::Preset &preset);
    void showBindingFailure();
    // app/
    void selectHomePage();
    void selectSetupPage();
    void showPropertyPages();

    std::unique_ptr<Ui_MainWindow> ui;
    QLabel *statusLabel;
    QComboBox *cameraComboBox;
    QCamera *camera;
    QCameraViewfinder *viewfinder;
    std::unique_ptr<QCameraImageCapture> imageCapture;
    QLabel *deviceInfoLabel;
    QStringList deviceNames;
    int previewStarted;
    RefusalNotice *refusalNotice = nullptr;  // created on the first refusal
    QTimer *burstSettled = nullptr;          // created on the first device change
    KeptSettings *kept = nullptr;
};
