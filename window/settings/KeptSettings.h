// "Keep Settings": the open camera's settings remembered for it in the same
// file, identity and format as `vidorra-ctl remember` writes, and kept up to
// date with every change made in the window. The file is made from what the
// window holds already (what it read and what the camera took), so keeping
// costs no camera request; writes are coalesced and done once more at close.
#pragma once

#include "CameraStore.h"

#include <QMap>
#include <QObject>
#include <QString>

#include <cstdint>

class QLabel;
class QTimer;
class QToolButton;
class QWidget;
namespace vidorra {
struct VendorControl;
}

class KeptSettings : public QObject {
    Q_OBJECT
public:
    // The caption and the switch go on `form`, beside its own controls.
    KeptSettings(QWidget *form, QWidget *formSwitch, QObject *parent);
    ~KeptSettings() override;

    QToolButton *switchButton() const { return button; }

    // A read pass over the bound camera: it starts, each setting is held or
    // could not be read, it ends. A new camera starts with `newCamera`.
    void readPassStarted(bool newCamera);
    void recordRead(bool ok, const QString &record);
    void held(const vidorra::VendorControl &setting, std::uint8_t byte);
    void unread(const vidorra::VendorControl &setting);
    void readPassEnded();
    // The camera took a Set: the kept file follows.
    void taken(const vidorra::VendorControl &setting, std::uint8_t byte);
    // Nothing is bound any more.
    void cameraLost();
    // Writes what is pending now.
    void flush();

private:
    void clicked();
    void show(bool on);
    void changed();
    bool write(QString *error);
    bool everyValueHeld() const;
    QByteArray fileBytes() const;
    void offerWatch();

    vidorra::remembered::CameraStore store;
    QLabel *caption = nullptr;
    QToolButton *button = nullptr;
    QString ownStyle;
    QTimer *pending = nullptr;
    QString identity;
    QString path;
    QString name;
    bool recordOk = false;
    QString record;
    QMap<int, std::uint8_t> values;  // by selector
    bool on = false;
    bool dirty = false;  // a change waits for the timer
    bool freshCamera = false;  // the pass under way is the first on this camera
    bool watchOffered = false;
};
