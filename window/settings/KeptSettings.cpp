#include "settings/KeptSettings.h"

#include "app/StyleSheets.h"
#include "CapturePlatform.h"
#include "CaptureDevice.h"
#include "Printable.h"
#include "SettingText.h"
#include "ValueCodec.h"

#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

using vidorra::remembered::CameraStore;
using vidorra::remembered::printable;

namespace {

// Short enough that the file is current a moment after the hand leaves the
// slider, long enough that a drag's many positions cost one write.
constexpr int kCoalesceMs = 300;

const QString kRememberTip =
    QStringLiteral("Remember this camera's settings and put them back whenever it is plugged in");
const QString kForgetTip =
    QStringLiteral("Forget this camera's settings: they are no longer put back when it is plugged in");

// The form's switch rules name QPushButton; this switch is a tool button, so
// that it stays out of the form's own set of push buttons.
QString asToolButtonStyle(QString style)
{
    return style.replace(QLatin1String("QPushButton"), QLatin1String("QToolButton"));
}

QString layerWords(CameraStore::Layer layer)
{
    switch (layer) {
    case CameraStore::Layer::OwnFile:
        return QStringLiteral("its own file");
    case CameraStore::Layer::ModelFile:
        return QStringLiteral("the file for its model");
    case CameraStore::Layer::MachineOwnFile:
        return QStringLiteral("its own machine-wide file");
    case CameraStore::Layer::MachineModelFile:
        return QStringLiteral("the machine-wide file for its model");
    }
    return QString();
}

}  // namespace

KeptSettings::KeptSettings(QWidget *form, QWidget *formSwitch, QObject *parent)
    : QObject(parent), store(CameraStore::standard())
{
    // Above "Restore Default", beside the tab widget: room the fixed form
    // leaves free on both pages, and where a user looks for what outlasts them.
    caption = new QLabel(QStringLiteral("Keep Settings"), form);
    caption->setObjectName(QStringLiteral("keepSettingsCaption"));
    caption->setStyleSheet(QStringLiteral("font: 75 10pt \"Arial\";\ncolor: rgb(255, 255, 255);"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(665, 604, 111, 18);

    button = new QToolButton(form);
    button->setObjectName(QStringLiteral("keepSettingsSwitch"));
    button->setAccessibleName(QStringLiteral("Keep Settings"));
    // Checked while kept, so that accessibility tools can tell on from off.
    button->setCheckable(true);
    ownStyle = asToolButtonStyle(formSwitch->styleSheet());
    button->setGeometry(685, 628, 71, 21);
    button->setEnabled(false);
    show(false);
    connect(button, &QToolButton::clicked, this, &KeptSettings::clicked);

    pending = new QTimer(this);
    pending->setSingleShot(true);
    pending->setInterval(kCoalesceMs);
    connect(pending, &QTimer::timeout, this, &KeptSettings::flush);
}

KeptSettings::~KeptSettings() { flush(); }

void KeptSettings::show(bool keep)
{
    on = keep;
    button->setChecked(keep);
    // The text names the next click's action, hidden as on the form's switches.
    button->setText(QLatin1String(keep ? "Off" : "On"));
    const char *rule = keep ? vidorra::style::SwitchOn : vidorra::style::SwitchOff;
    button->setStyleSheet(ownStyle + asToolButtonStyle(QLatin1String(rule)));
    if (!button->isEnabled())
        return;
    QString tip = keep ? kForgetTip : kRememberTip;
    if (!keep) {
        // A model's or the machine's file applies until the camera has its own.
        const CameraStore::Lookup found = store.lookUp(identity);
        if (found.found != CameraStore::Found::No)
            tip += QStringLiteral("\n(it now takes %1, %2)").arg(layerWords(found.layer), found.file);
    }
    button->setToolTip(tip);
}

void KeptSettings::readPassStarted(bool newCamera)
{
    if (!newCamera)
        return;
    freshCamera = true;
    flush();  // the earlier camera's file, before its values go
    values.clear();
    recordOk = false;
    identity = captureDevice.boundIdentity();
    path = captureDevice.boundPath();
    name = captureDevice.boundName();
}

void KeptSettings::recordRead(bool ok, const QString &text)
{
    recordOk = ok;
    record = text;
}

void KeptSettings::held(const vidorra::VendorControl &setting, std::uint8_t byte) { values[setting.selector] = byte; }

void KeptSettings::unread(const vidorra::VendorControl &setting) { values.remove(setting.selector); }

void KeptSettings::readPassEnded()
{
    const bool keepable = captureDevice.isBound() && !identity.isEmpty() && !store.folder().isEmpty();
    button->setEnabled(keepable);
    if (!captureDevice.isBound()) {
        button->setToolTip(QString());
    } else if (identity.isEmpty()) {
        button->setToolTip(QStringLiteral("This camera gives no identity that lasts (no USB ids could be read), "
                                          "so its settings cannot be kept for it"));
    } else if (store.folder().isEmpty()) {
        button->setToolTip(CameraStore::noFolderReason());
    }
    QByteArray bytes;
    QString error;
    show(keepable && store.read(identity, &bytes, &error) != CameraStore::Found::No);
    // Opening a camera changes nothing: one that came up without its kept
    // settings must not overwrite them. A later pass (Restore Default) does.
    if (!freshCamera)
        changed();
    freshCamera = false;
}

void KeptSettings::taken(const vidorra::VendorControl &setting, std::uint8_t byte)
{
    values[setting.selector] = byte;
    changed();
}

void KeptSettings::cameraLost()
{
    flush();
    button->setEnabled(false);
    button->setToolTip(QString());
    show(false);
}

void KeptSettings::changed()
{
    if (!on)
        return;
    dirty = true;
    pending->start();
}

void KeptSettings::flush()
{
    pending->stop();
    if (!dirty)
        return;
    dirty = false;
    QString error;
    if (on && !write(&error))
        qWarning("Keep Settings: %s", qPrintable(error));
}

bool KeptSettings::everyValueHeld() const
{
    for (const vidorra::VendorControl *setting : vidorra::settingControls())
        if (!values.contains(setting->selector))
            return false;
    return true;
}

// Line for line what `vidorra-ctl remember` writes, so that either can read,
// replace or forget the other's file.
QByteArray KeptSettings::fileBytes() const
{
    using namespace vidorra::remembered;
    QByteArray text;
    QTextStream to(&text);
    to.setCodec("UTF-8");
    to << "# Vidorra camera settings, written by Vidorra; apply them with vidorra-ctl load FILE\n"
       << "# camera: " << (path.isEmpty() ? QStringLiteral("(no path)") : printable(path)) << " ("
       << printable(name) << ")\n"
       << "# identity: " << printable(identity) << '\n';
    if (recordOk)
        to << "# device-info: " << printable(vidorra::addChipGenerationMarkers(record)) << '\n';
    if (captureDevice.wbFlags != 3)
        to << "# white-balance: " << whiteBalanceWord(captureDevice.wbFlags) << '\n';
    for (const vidorra::VendorControl *setting : vidorra::settingControls()) {
        const std::uint8_t byte = values.value(setting->selector);
        const QString value = formatSettingValue(*setting, byte);
        if (isAcceptedByte(*setting, byte))
            to << setting->name << '=' << value << '\n';
        else
            to << "# " << setting->name << '=' << value << " (outside " << acceptedValues(*setting) << ")\n";
    }
    to.flush();
    return text;
}

bool KeptSettings::write(QString *error)
{
    // A file with settings missing would put back less than was there.
    if (!everyValueHeld()) {
        *error = QStringLiteral("not every setting could be read; what was kept before stays");
        return false;
    }
    if (!store.write(identity, fileBytes(), error)) {
        *error = QStringLiteral("cannot write %1: %2").arg(store.fileFor(identity), *error);
        return false;
    }
    return true;
}

void KeptSettings::clicked()
{
    QString error;
    if (on) {
        pending->stop();
        dirty = false;
        bool existed = false;
        if (!store.remove(identity, &existed, &error)) {
            QMessageBox::warning(nullptr, tr("Keep Settings"),
                                 tr("Cannot forget the settings: %1: %2").arg(store.fileFor(identity), error));
            return;
        }
        show(false);
        return;
    }
    if (!write(&error)) {
        QMessageBox::warning(nullptr, tr("Keep Settings"), tr("The settings are not kept: %1").arg(error));
        return;
    }
    show(true);
    offerWatch();
}

// Kept settings go back on a camera only while the watch runs; offered once
// per window, and only where the platform can tell that it would not start.
void KeptSettings::offerWatch()
{
    vidorra::CapturePlatform &platform = vidorra::installedPlatform();
    if (watchOffered || platform.logonWatch() != vidorra::CapturePlatform::LogonWatch::NotSet)
        return;
    watchOffered = true;
    const auto answer = QMessageBox::question(
        nullptr, tr("Keep Settings"),
        tr("The settings go back on the camera whenever it is plugged in, but only while Vidorra's watch runs, "
           "and it is not set to start when you log on.\n\nStart the watch now and at every logon?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    const vidorra::CapturePlatform::WatchStart started = platform.startLogonWatch();
    const QString text = QString::fromStdString(started.text);
    if (started.done)
        QMessageBox::information(nullptr, tr("Keep Settings"), text);
    else
        QMessageBox::warning(nullptr, tr("Keep Settings"), text);
}
