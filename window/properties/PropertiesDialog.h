// Vidorra's own "Properties" dialog, for backends whose platform has no
// property frame of its own: the device's standard controls on the pages
// "Video Proc Amp" and "Camera Control". Every change goes to the device at
// once; the dialog then reads the controls back, so that a control owned by
// an automatic one follows at once.
#pragma once

#include "CapturePort.h"

#include <QDialog>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QWidget;

class PropertiesDialog : public QDialog {
public:
    // Opens at 30, 30 without an owner window; exec() returns when closed.
    PropertiesDialog(std::shared_ptr<vidorra::CaptureHandle> handle, const std::vector<vidorra::ControlInfo> &controls,
                     QWidget *parent = nullptr);

private:
    struct Row {
        vidorra::ControlInfo info;
        QLabel *label = nullptr;
        QSlider *slider = nullptr;
        QSpinBox *spin = nullptr;
        QCheckBox *check = nullptr;
        QComboBox *menu = nullptr;
        QPushButton *button = nullptr;
    };

    void addRow(QWidget *page, QGridLayout *grid, const vidorra::ControlInfo &info);
    void apply(std::size_t row, std::int32_t value);
    void restoreDefaults(vidorra::ControlInfo::Page page);
    void refresh();
    void showRow(Row &row, bool enabled, bool hasValue, std::int32_t value);

    std::shared_ptr<vidorra::CaptureHandle> device;
    std::vector<Row> rows;
    QLabel *message = nullptr;
};
