#include "CameraWatch.h"

#include "CameraChoice.h"
#include "CameraSession.h"
#include "CapturePlatform.h"
#include "CaptureDevice.h"
#include "DeviceWatcher.h"
#include "ResumeWatcher.h"
#include "Printable.h"
#include "SettingsFile.h"
#include "StatusText.h"
#include "StopWatcher.h"

#include <QTextStream>

#include <algorithm>

namespace vidorra::ctl {

namespace {

QString rebootKey(const QString &identity, const SettingRequest &r)
{
    return QStringLiteral("%1|%2|%3").arg(identity).arg(r.value.setting->selector).arg(r.value.byte);
}

}  // namespace

CameraWatch::CameraWatch(QString program, const QString &folder, QTextStream &log, Timing timing, QObject *parent)
    : CameraWatch(std::move(program), CameraStore(folder, CameraStore::defaultMachineFolder()), log, timing, parent)
{
}

CameraWatch::CameraWatch(QString program, CameraStore store, QTextStream &log, Timing timing, QObject *parent)
    : QObject(parent), program(std::move(program)), store(std::move(store)), log(log), timing(timing)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &CameraWatch::runDue);
}

CameraWatch::~CameraWatch() { captureDevice.reset(); }

bool CameraWatch::start()
{
    DeviceWatcher *watcher = installedPlatform().watchDevices(this);
    if (!watcher || !watcher->isWatching()) {
        const QString name = watcher ? watcher->monitorName() : QString();
        line(watcher ? QStringLiteral("cannot learn of cameras as they appear: the device-change monitor %1"
                                      "cannot be opened")
                           .arg(name.isEmpty() ? QString() : QStringLiteral("(%1) ").arg(name))
                     : QStringLiteral("cannot learn of cameras as they appear on this system"));
        return false;
    }
    connect(watcher, &DeviceWatcher::deviceAppeared, this, [this](const QString &path) { appeared.insert(path); });
    connect(watcher, &DeviceWatcher::deviceRemoved, this, [this](const QString &path) { removed.insert(path); });
    connect(watcher, &DeviceWatcher::devicesChanged, this, &CameraWatch::rescan);
    ResumeWatcher *resumes = installedPlatform().watchResumes(this);
    if (resumes && resumes->isWatching())
        connect(resumes, &ResumeWatcher::resumed, this, &CameraWatch::resumed);
    if (StopWatcher *stop = installedPlatform().watchStopRequests(this))
        connect(stop, &StopWatcher::stopRequested, this, [this, watcher, resumes, stop](const QString &reason) {
            // Whatever else is waiting in the event loop finds no one listening.
            watcher->disconnect(this);
            if (resumes)
                resumes->disconnect(this);
            stop->disconnect(this);
            timer.stop();
            line(QStringLiteral("stopped (%1)").arg(reason));
            emit finished(0);
        });
    clock.start();
    const QVector<CameraStore::Entry> entries = store.entries();
    const auto machineWide = std::count_if(entries.cbegin(), entries.cend(), [](const CameraStore::Entry &e) {
        return CameraStore::isMachineWide(e.layer);
    });
    const QString machineCount =
        machineWide == 0 ? QString() : QStringLiteral(", %1 in %2").arg(machineWide).arg(store.machineFolder());
    line(QStringLiteral("watching for cameras to put their remembered settings back (%1 remembered in %2%3)")
             .arg(entries.size() - machineWide)
             .arg(store.folder(), machineCount));
    if (resumes && !resumes->isWatching())
        line(QStringLiteral("cannot learn of resumes from sleep (%1); settings a camera loses in suspend are put "
                            "back only when it appears again")
                 .arg(resumes->monitorName()));
    rescan();
    return true;
}

void CameraWatch::rescan()
{
    QVector<CameraEntry> cameras;
    const Status s = listCameras(&cameras);
    if (!succeeded(s)) {
        if (!listFailed) {
            const QString why = QString::fromStdString(captureDevice.port().lastErrorText());
            line(QStringLiteral("cannot list the cameras: %1").arg(why.isEmpty() ? statusText(s) : why));
        }
        listFailed = true;
        return;
    }
    listFailed = false;
    QMap<QString, QString> now;
    for (const CameraEntry &c : qAsConst(cameras))
        if (c.usb && !c.identity.isEmpty() && !c.path.isEmpty())
            now.insert(c.path, c.identity);
    for (auto it = jobs.begin(); it != jobs.end();) {
        if (now.value(it.key()) == it->identity) {
            ++it;
            continue;
        }
        wentAway(*it);
        it = jobs.erase(it);
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        // New at this path, or gone and back (a reboot) since the last list.
        // udev may announce a camera's metadata node before its capture node:
        // an 'add' counts only after a 'remove' that no job has answered yet.
        const bool appearance = present.value(it.key()) != it.value()
            || (appeared.contains(it.key()) && removed.contains(it.key()));
        if (!appearance || !store.has(it.value()))
            continue;
        removed.remove(it.key());
        Job job;
        job.identity = it.value();
        job.path = it.key();
        job.since.start();
        job.dueMs = clock.elapsed();
        jobs.insert(job.path, job);
    }
    present = now;
    appeared.clear();
    schedule();
}

void CameraWatch::resumed()
{
    // A camera re-enumerated by the resume is an appearance as any other;
    // one that kept its node may still have lost power, so each present
    // camera with remembered settings is looked at.
    rescan();
    for (auto it = present.cbegin(); it != present.cend(); ++it) {
        if (jobs.contains(it.key()) || !store.has(it.value()))
            continue;
        // A camera that lost power may need H.264 or audio once more: the
        // guard against a reboot loop holds within one power cycle only.
        const QString prefix = it.value() + QLatin1Char('|');
        for (auto key = rebootsSent.begin(); key != rebootsSent.end();)
            key = key->startsWith(prefix) ? rebootsSent.erase(key) : std::next(key);
        Job job;
        job.identity = it.value();
        job.path = it.key();
        job.afterResume = true;
        job.since.start();
        job.dueMs = clock.elapsed();
        jobs.insert(job.path, job);
    }
    schedule();
}

void CameraWatch::schedule()
{
    if (jobs.isEmpty()) {
        timer.stop();
        return;
    }
    qint64 due = jobs.first().dueMs;
    for (const Job &job : qAsConst(jobs))
        due = std::min(due, job.dueMs);
    timer.start(int(std::max<qint64>(0, due - clock.elapsed())));
}

void CameraWatch::runDue()
{
    const qint64 now = clock.elapsed();
    for (auto it = jobs.begin(); it != jobs.end();) {
        if (it->dueMs <= now && !attempt(*it))
            it = jobs.erase(it);
        else
            ++it;
    }
    schedule();
}

bool CameraWatch::load(Job &job)
{
    const CameraStore::Lookup found = store.lookUp(job.identity);
    const QString &fileName = found.file;
    switch (found.found) {
    case CameraStore::Found::No:
        return false;  // forgotten since it appeared
    case CameraStore::Found::Unreadable:
        line(job, QStringLiteral("cannot read %1: %2; nothing sent").arg(fileName, found.error));
        return false;
    case CameraStore::Found::Yes:
        break;
    }
    const SettingsFile settings = parseSettingsFile(found.bytes);
    if (settings.problems.size() > kMaxSettingsFileProblems) {
        line(job, QStringLiteral("%1: more than %2 lines cannot be applied; this is not a settings file; nothing sent")
                      .arg(fileName)
                      .arg(kMaxSettingsFileProblems));
        return false;
    }
    if (!settings.problems.isEmpty()) {
        QStringList bad;
        for (const SettingsFileProblem &p : settings.problems)
            bad << QStringLiteral("line %1: %2").arg(p.line).arg(p.message);
        line(job, QStringLiteral("%1: %2 skipped (%3); the other lines are put back")
                      .arg(fileName,
                           settings.problems.size() == 1 ? QStringLiteral("a line is")
                                                         : QStringLiteral("%1 lines are").arg(settings.problems.size()),
                           bad.join(QStringLiteral("; "))));
    }
    if (settings.entries.isEmpty()) {
        line(job, QStringLiteral("%1: holds no settings; nothing sent").arg(fileName));
        return false;
    }
    for (const SettingsFileEntry &e : settings.entries)
        job.remaining.push_back({QString(), e.value});
    job.total = settings.entries.size();
    job.loaded = true;
    return true;
}

bool CameraWatch::stillThere(const Job &job)
{
    QVector<CameraEntry> cameras;
    if (!succeeded(listCameras(&cameras)))
        return true;  // the bind that follows says what is wrong
    return std::any_of(cameras.cbegin(), cameras.cend(), [&job](const CameraEntry &c) {
        return c.path == job.path && c.identity == job.identity;
    });
}

bool CameraWatch::attempt(Job &job)
{
    if (!job.loaded && !load(job))
        return false;
    if (!stillThere(job)) {
        wentAway(job);
        return false;
    }
    // By path alone: never another camera of the same name in its place.
    const Status bound = captureDevice.bindDevice(QString(), job.path);
    if (!succeeded(bound) || !captureDevice.isBound()) {
        const Status why = succeeded(bound) ? status::NotBound : bound;
        const QString text = captureDevice.lastBindError().isEmpty() ? statusText(why) : captureDevice.lastBindError();
        captureDevice.reset();
        if (meansGone(why)) {
            wentAway(job);
            return false;
        }
        if (captureDevice.port().isTransient(why))
            return retryLater(job, text);
        line(job, QStringLiteral("cannot open it: %1 (%2 of %3 in place)")
                      .arg(text, QString::number(job.inPlace), QString::number(job.total)));
        return false;
    }
    ApplyRules rules;
    rules.whiteBalance = job.whiteBalanceChecked ? ApplyRules::WhiteBalance::Checked
                                                 : ApplyRules::WhiteBalance::PerSetting;
    rules.whenUnread = WhenUnread::Skip;
    rules.stopWhenCameraLeaves = true;
    rules.readEverySettingFirst = job.afterResume;
    rules.mayReboot = [this, &job](const SettingRequest &r) {
        return !rebootsSent.contains(rebootKey(job.identity, r));
    };
    CameraSession session;
    const ApplyReport report = applySettings(session, job.remaining, rules);
    captureDevice.reset();
    job.whiteBalanceChecked = true;
    job.remaining = report.remaining;

    // Controls that no unit of the camera carries. uvcvideo says the same of a
    // control it could not set up yet, so they count as missing only where
    // the camera answered something else.
    QVector<SettingRequest> lacking;
    bool answered = false;
    for (const RequestFate &f : report.fates) {
        const SettingRequest &r = f.request;
        if (f.status == status::NotFound) {
            lacking << r;
            continue;
        }
        switch (f.fate) {
        case Fate::RefusedUnderAutoWhiteBalance:
            job.notTaken << QStringLiteral("%1 (refused while the camera balances white automatically)")
                                .arg(assignment(r));
            break;
        case Fate::AlreadyHeld:
            answered = true;
            ++job.inPlace;
            if (rebootsCamera(*r.value.setting))
                job.notes << QStringLiteral("%1 already %2, not sent").arg(settingName(r.value), settingWord(r.value));
            break;
        case Fate::Unread:
            answered = true;
            job.notTaken << QStringLiteral("%1 (not sent: its current value cannot be read: %2)")
                                .arg(assignment(r), statusText(f.status));
            break;
        case Fate::HeldBack:
            job.notTaken << QStringLiteral("%1 (sent once already, and the camera came back without it; not sent "
                                           "again, so that it cannot reboot over and over)")
                                .arg(assignment(r));
            break;
        case Fate::Sent:
            answered = true;
            ++job.inPlace;
            ++job.sent;
            if (rebootsCamera(*r.value.setting)) {
                rebootsSent.insert(rebootKey(job.identity, r));
                job.notes << QStringLiteral("%1 sent; the camera reboots to apply it").arg(assignment(r));
            }
            break;
        case Fate::NotTaken:
            answered = true;
            job.notTaken << QStringLiteral("%1 (%2)").arg(assignment(r), statusText(f.status));
            break;
        }
    }
    if (report.stoppedOn != 0 && meansGone(report.stoppedOn)) {
        wentAway(job);
        return false;
    }
    bool transient = report.stoppedOn != 0;
    QString reason = transient ? statusText(report.stoppedOn) : QString();
    if (!lacking.isEmpty() && !answered) {
        if (!transient)
            reason = statusText(status::NotFound);
        transient = true;
        job.remaining = lacking + job.remaining;
    } else {
        for (const SettingRequest &r : qAsConst(lacking))
            job.notTaken << QStringLiteral("%1 (%2)").arg(assignment(r), statusText(status::NotFound));
    }
    if (transient)
        return retryLater(job, reason);
    finish(job);
    return false;
}

bool CameraWatch::retryLater(Job &job, const QString &reason)
{
    const int pause = job.pauseMs == 0 ? timing.firstRetryMs : std::min(2 * job.pauseMs, timing.maxRetryMs);
    if (job.since.elapsed() + pause > timing.giveUpMs) {
        line(job, QStringLiteral("gave up %1 s after it appeared: %2 (%3 of %4 in place); the rest are put back "
                                 "when it appears again")
                      .arg(QString::number(double(job.since.elapsed()) / 1000.0, 'f', 1), reason,
                           QString::number(job.inPlace), QString::number(job.total)));
        return false;
    }
    if (!job.retryAnnounced) {
        line(job, QStringLiteral("not ready (%1); trying again for up to %2 s")
                      .arg(reason, QString::number(timing.giveUpMs / 1000)));
        job.retryAnnounced = true;
    }
    job.pauseMs = pause;
    job.dueMs = clock.elapsed() + pause;
    return true;
}

void CameraWatch::finish(const Job &job)
{
    QString text = job.inPlace == job.total
        ? QStringLiteral("put back %1 remembered setting%2").arg(job.inPlace).arg(job.inPlace == 1 ? "" : "s")
        : QStringLiteral("put back %1 of %2 remembered settings").arg(job.inPlace).arg(job.total);
    if (job.afterResume && job.sent == 0 && job.inPlace == job.total) {
        line(job, QStringLiteral("after the resume: the camera still held its %1 remembered settings; nothing sent")
                      .arg(job.total));
        return;
    }
    if (job.afterResume)
        text = QStringLiteral("after the resume: %1 (%2 sent, the others still held)").arg(text).arg(job.sent);
    if (!job.notTaken.isEmpty())
        text += QStringLiteral("; not taken: ") + job.notTaken.join(QStringLiteral(", "));
    if (!job.notes.isEmpty())
        text += QStringLiteral("; ") + job.notes.join(QStringLiteral("; "));
    if (!job.remaining.isEmpty()) {
        QStringList left;
        for (const SettingRequest &r : job.remaining)
            left << assignment(r);
        text += QStringLiteral("; %1 when it is back").arg(left.join(QStringLiteral(", ")));
    }
    line(job, text);
}

void CameraWatch::wentAway(const Job &job)
{
    line(job, QStringLiteral("went away before its remembered settings were put back (%1 of %2 in place); they are "
                             "put back when it appears again")
                  .arg(job.inPlace)
                  .arg(job.total));
}

void CameraWatch::line(const Job &job, const QString &text)
{
    line(QStringLiteral("%1 at %2: %3").arg(job.identity, printable(job.path), text));
}

void CameraWatch::line(const QString &text)
{
    log << program << ": " << text << '\n';
    log.flush();
}

}  // namespace vidorra::ctl
