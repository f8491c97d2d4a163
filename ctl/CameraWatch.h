// vidorra-ctl watch: puts each camera's remembered settings back whenever it
// appears (and once at start for the cameras already there), and on every
// camera present after a resume from suspend, on one thread driven by the
// platform's device-change and resume watchers. After a resume each setting
// is read first and only what the camera lost is sent. A camera whose node
// is busy or not ready yet is tried again, with a growing pause, for a
// bounded time from its appearance. H.264 and audio go last and only when
// they change, and at most once per camera and value while the watch runs
// (once more after a resume), so a camera that comes back from its reboot
// without the new value cannot make the watch reboot it again and again.
// One line per camera and outcome goes to the log.
#pragma once

#include "CameraStore.h"
#include "SettingsApply.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

class QTextStream;

namespace vidorra::ctl {

using namespace vidorra::remembered;

class CameraWatch : public QObject {
    Q_OBJECT
public:
    struct Timing {
        int firstRetryMs = 250;  // the pause after the first transient failure; it doubles...
        int maxRetryMs = 2000;   // ...up to this
        int giveUpMs = 20000;    // no attempt starts later than this after the appearance
    };

    // The remembered settings of `folder` and of the machine-wide folder.
    CameraWatch(QString program, const QString &folder, QTextStream &log, Timing timing, QObject *parent = nullptr);
    CameraWatch(QString program, CameraStore store, QTextStream &log, Timing timing, QObject *parent = nullptr);
    ~CameraWatch() override;

    // Starts watching and puts back the settings of the cameras already
    // there; false, with the reason logged, when appearances cannot be learnt.
    bool start();

    // Cameras with an attempt still to come.
    int pending() const { return jobs.size(); }

signals:
    // A stop request arrived (exit status 0).
    void finished(int exitCode);

private:
    // One appearance of one camera, until its settings are in place or it is given up.
    struct Job {
        QString identity;
        QString path;
        QElapsedTimer since;
        int pauseMs = 0;
        qint64 dueMs = 0;  // on `clock`
        bool loaded = false;
        bool whiteBalanceChecked = false;
        QVector<SettingRequest> remaining;
        int total = 0;
        int inPlace = 0;
        int sent = 0;
        QStringList notTaken;
        QStringList notes;
        bool retryAnnounced = false;
        // After a resume: every setting read first, only what the camera lost sent.
        bool afterResume = false;
    };

    void rescan();
    void resumed();
    void runDue();
    void schedule();
    // False when the job is over (done, failed or gone) and is to be dropped.
    bool attempt(Job &job);
    bool load(Job &job);
    bool stillThere(const Job &job);
    bool retryLater(Job &job, const QString &reason);
    void finish(const Job &job);
    void wentAway(const Job &job);
    void line(const Job &job, const QString &text);
    void line(const QString &text);

    QString program;
    CameraStore store;
    QTextStream &log;
    Timing timing;
    QMap<QString, QString> present;  // path -> identity, as the last list showed them
    QSet<QString> appeared;          // nodes announced as added since the last list
    QSet<QString> removed;           // nodes announced as gone since their camera's last job began
    QMap<QString, Job> jobs;         // by path
    QSet<QString> rebootsSent;       // identity|selector|value, sent once already
    QElapsedTimer clock;
    QTimer timer;
    bool listFailed = false;
};

}  // namespace vidorra::ctl
