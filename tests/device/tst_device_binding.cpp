// Binding a camera: the results of every kind of search, which device ends
// up bound (by what reaches the simulated cameras), and the search's log.
#include "DeviceTestSupport.h"


#include <QRegularExpression>
#include <QtTest>

using namespace vidorra;
using namespace vidorra::sim;
using namespace devicetest;

namespace {

enum class Scenario {
    DeviceEnumFails,
    CategoryEnumFails,
    EmptyCategory,
    WhiteBalanceFalse,
    Plain,
    NoMatch,
    OpenFails,
    NoExtensionUnitAccess
};

// Which device the extension-unit traffic reaches now ("" when none does).
std::string xuTarget()
{
    simHub().clearCalls();
    unsigned char byte = 0;
    captureDevice.xuControl(selector::Drc, XuOp::Get, &byte, 1);
    const auto probes = callsOf(CallKind::ProbeNode);
    return probes.empty() ? std::string() : probes.front().device;
}

std::vector<std::string> openedDevices()
{
    std::vector<std::string> out;
    for (const PortCall &call : callsOf(CallKind::OpenDevice))
        out.push_back(call.device);
    return out;
}

}  // namespace

Q_DECLARE_METATYPE(Scenario)
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::vector<std::string>)

class BindingTest : public QObject {
    Q_OBJECT

private slots:
    void init() { freshSimWorld(); }

    void results_data();
    void results();
    void rebindingLeavesNothingOfTheFirst();
    void equalFriendlyNames_data();
    void equalFriendlyNames();
    void nameComparison_data();
    void nameComparison();
    void noVideoInputKeepsEarlierBinding();
    void whiteBalanceReadDuringBinding_data();
    void whiteBalanceReadDuringBinding();
    void searchLog();
    void searchLogSkipsPathlessDevices();
    void pathlessMatchIsStillTheControlDevice();
};

void BindingTest::results_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("boundAfter");
    QTest::addColumn<QString>("error");
    QTest::addColumn<std::string>("xuDevice");

    const std::string sim = kSimCameraPath;
    const std::string integrated = kIntegratedCameraPath;
    QTest::newRow("device enumerator fails") << Scenario::DeviceEnumFails << int(status::Fail) << false
                                             << "The capture service could not be started." << std::string();
    QTest::newRow("category enumerator fails") << Scenario::CategoryEnumFails << int(status::NoInterface) << false
                                               << "The capture service could not be started." << std::string();
    QTest::newRow("empty category keeps the earlier camera")
        << Scenario::EmptyCategory << int(status::False) << true << "No camera was found." << integrated;
    QTest::newRow("white balance S_FALSE still binds the chosen camera")
        << Scenario::WhiteBalanceFalse << int(status::Ok) << true << QString() << sim;
    QTest::newRow("bound") << Scenario::Plain << int(status::Ok) << true << QString() << sim;
    QTest::newRow("no match releases the earlier camera")
        << Scenario::NoMatch << int(status::NoSuchDevice) << false << "No camera named \"Nope\" was found."
        << std::string();
    QTest::newRow("device cannot be opened") << Scenario::OpenFails << int(status::AccessDenied) << false
                                             << "The camera \"Vidorra Sim Camera\" could not be opened."
                                             << std::string();
    QTest::newRow("the extension unit cannot be reached (a filter without IKsControl)")
        << Scenario::NoExtensionUnitAccess << int(status::NoInterface) << false
        << "The camera \"Vidorra Sim Camera\" gives no access to its vendor settings (error 0x80004002)."
        << std::string();
}

void BindingTest::results()
{
    QFETCH(Scenario, scenario);
    QFETCH(int, expected);
    QFETCH(bool, boundAfter);
    QFETCH(QString, error);
    QFETCH(std::string, xuDevice);

    ScriptedPort *port = &installScriptedPort();
    // An earlier binding, to see what each outcome does with it.
    QCOMPARE(captureDevice.bindDevice(kIntegratedCameraName), status::Ok);

    QString name = kSimCameraName;
    SimCamera &camera = *simHub().camera(kSimCameraPath);
    switch (scenario) {
    case Scenario::DeviceEnumFails:
    case Scenario::CategoryEnumFails:
        port->listFailure = scenario == Scenario::DeviceEnumFails ? status::Fail : status::NoInterface;
        port->failureText = "The capture service could not be started.";
        break;
    case Scenario::EmptyCategory:
        simHub().clear();
        break;
    case Scenario::WhiteBalanceFalse:
        camera.faults.whiteBalanceStatus = status::False;
        camera.whiteBalanceAuto = false;
        break;
    case Scenario::Plain:
        break;
    case Scenario::NoMatch:
        name = QStringLiteral("Nope");
        break;
    case Scenario::OpenFails:
        camera.faults.openStatus = status::AccessDenied;
        break;
    case Scenario::NoExtensionUnitAccess:
        camera.faults.extensionUnitAccess = status::NoInterface;
        break;
    }

    QCOMPARE(captureDevice.bindDevice(name), expected);
    QCOMPARE(captureDevice.isBound(), boundAfter);
    QCOMPARE(captureDevice.lastBindError(), error);
    // With an empty category the earlier camera (now gone) is still the one addressed.
    QCOMPARE(xuTarget(), xuDevice);
    if (!boundAfter) {
        QVERIFY(simHub().calls().empty());
        unsigned char byte = 0;
        QCOMPARE(captureDevice.xuControl(selector::Drc, XuOp::Get, &byte, 1), status::NotBound);
    }
    if (scenario == Scenario::WhiteBalanceFalse)
        QCOMPARE(captureDevice.wbFlags, 2);  // the flags of an S_FALSE answer count
    // The camera itself stays open for white balance and the property pages.
    if (scenario == Scenario::NoExtensionUnitAccess)
        QCOMPARE(captureDevice.readWhiteBalanceMode(), status::Ok);
}

void BindingTest::rebindingLeavesNothingOfTheFirst()
{
    simHub().add("Camera B", "path-b");
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    simHub().camera("path-b")->whiteBalanceAuto = false;
    QCOMPARE(captureDevice.bindDevice("Camera B"), status::Ok);
    QCOMPARE(captureDevice.wbFlags, 2);

    simHub().clearCalls();
    unsigned char byte = 9;
    QCOMPARE(captureDevice.xuControl(selector::Drc, XuOp::Set, &byte, 1), status::Ok);
    QCOMPARE(captureDevice.readWhiteBalanceMode(), status::Ok);
    QCOMPARE(captureDevice.wbFlags, 2);
    QVERIFY(!simHub().calls().empty());
    for (const PortCall &call : simHub().calls())
        QCOMPARE(call.device, std::string("path-b"));
    QCOMPARE(simHub().camera("path-b")->value(selector::Drc), std::uint8_t{9});
    QCOMPARE(simHub().camera(kSimCameraPath)->value(selector::Drc), std::uint8_t{2});
}

void BindingTest::equalFriendlyNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<std::vector<std::string>>("opened");  // control opens in order, then the XU open
    QTest::addColumn<std::string>("bound");

    using V = std::vector<std::string>;
    QTest::newRow("no device name: the first") << "Twin" << QString() << V{"twin-1", "twin-1"} << std::string("twin-1");
    QTest::newRow("device name of the second") << "Twin" << "twin-2" << V{"twin-1", "twin-2", "twin-2"}
                                               << std::string("twin-2");
    QTest::newRow("device name unknown: the first by name")
        << "Twin" << "twin-9" << V{"twin-1", "twin-1"} << std::string("twin-1");
    QTest::newRow("device name wins over the friendly name")
        << "Other" << "twin-2" << V{"twin-1", "twin-2", "twin-2"} << std::string("twin-2");
}

void BindingTest::equalFriendlyNames()
{
    QFETCH(QString, name);
    QFETCH(QString, deviceName);
    QFETCH(std::vector<std::string>, opened);
    QFETCH(std::string, bound);

    simHub().clear();
    simHub().add("Twin", "twin-1");
    simHub().add("Twin", "twin-2");
    simHub().add("Other", "other-3");
    simHub().clearCalls();

    QCOMPARE(captureDevice.bindDevice(name, deviceName), status::Ok);
    QCOMPARE(openedDevices(), opened);
    const auto wb = callsOf(CallKind::ReadWhiteBalance);
    QCOMPARE(wb.size(), std::size_t{1});
    QCOMPARE(wb.front().device, bound);
    QCOMPARE(xuTarget(), bound);
}

void BindingTest::nameComparison_data()
{
    QTest::addColumn<std::string>("listed");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("matches");

    const QString composed = QString::fromUtf8("Cam\xC3\xA9ra \xC3\x9C");      // é and Ü precomposed
    const QString decomposed = QString::fromUtf8("Came\xCC\x81ra U\xCC\x88");  // combining marks
    QTest::newRow("equal") << std::string("Vidorra Sim Camera") << "Vidorra Sim Camera" << true;
    QTest::newRow("case differs") << std::string("Vidorra Sim Camera") << "vidorra sim camera" << false;
    QTest::newRow("trailing space") << std::string("Vidorra Sim Camera") << "Vidorra Sim Camera " << false;
    QTest::newRow("non-ASCII equal") << composed.toStdString() << composed << true;
    QTest::newRow("non-ASCII other normal form") << composed.toStdString() << decomposed << false;
    QTest::newRow("CJK") << std::string("\xE6\x91\x84\xE5\x83\x8F\xE5\xA4\xB4") << QString::fromUtf8("\xE6\x91\x84\xE5\x83\x8F\xE5\xA4\xB4") << true;
    QTest::newRow("255 bytes") << std::string(255, 'n') << QString(255, QLatin1Char('n')) << true;
    QTest::newRow("256 bytes never match") << std::string(256, 'n') << QString(256, QLatin1Char('n')) << false;
    QTest::newRow("256 bytes of UTF-8 never match")
        << (std::string(254, 'n') + "\xC3\xA9") << (QString(254, QLatin1Char('n')) + QChar(0xE9)) << false;
}

void BindingTest::nameComparison()
{
    QFETCH(std::string, listed);
    QFETCH(QString, asked);
    QFETCH(bool, matches);

    simHub().clear();
    simHub().add(listed, "named");
    const Status result = captureDevice.bindDevice(asked);
    QCOMPARE(result, matches ? status::Ok : status::NoSuchDevice);
    QCOMPARE(captureDevice.isBound(), matches);
}

void BindingTest::noVideoInputKeepsEarlierBinding()
{
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    simHub().clear();
    simHub().clearCalls();
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::False);
    QVERIFY(captureDevice.isBound());
    QCOMPARE(callsOf(CallKind::OpenDevice).size(), std::size_t{0});
    QCOMPARE(xuTarget(), std::string(kSimCameraPath));
}

void BindingTest::whiteBalanceReadDuringBinding_data()
{
    QTest::addColumn<int>("wbStatus");
    QTest::addColumn<bool>("noWhiteBalance");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<int>("flags");

    QTest::newRow("read fails") << int(status::Fail) << false << false << 3;
    QTest::newRow("no white-balance control") << 0 << true << false << 3;
    QTest::newRow("automatic") << 0 << false << false << 1;
    QTest::newRow("manual") << 0 << false << true << 2;
    QTest::newRow("S_FALSE") << int(status::False) << false << true << 2;
}

void BindingTest::whiteBalanceReadDuringBinding()
{
    QFETCH(int, wbStatus);
    QFETCH(bool, noWhiteBalance);
    QFETCH(bool, manual);
    QFETCH(int, flags);

    SimCamera &camera = *simHub().camera(kSimCameraPath);
    camera.faults.whiteBalanceStatus = wbStatus;
    camera.faults.noWhiteBalance = noWhiteBalance;
    camera.whiteBalanceAuto = !manual;
    const LogCapture log;  // keeps the test log off standard output
    StdoutCapture out;
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    const QString printed = out.finish();
    QCOMPARE(captureDevice.wbFlags, flags);
    QVERIFY(captureDevice.isBound());
    QCOMPARE(printed, QStringLiteral("devname: Vidorra Sim Camera\n") +
                          (flags == 3 ? QString() : QStringLiteral("WB mode:%1\n").arg(flags)));
    QCOMPARE(xuTarget(), std::string(kSimCameraPath));
}

void BindingTest::searchLog()
{
    QList<QString> lines;
    QString printed;
    {
        LogCapture log;
        StdoutCapture out;
        QCOMPARE(captureDevice.bindDevice(kIntegratedCameraName), status::Ok);
        printed = out.finish();
        lines = log.lines();
    }
    const QString simPath = QString::fromUtf8(kSimCameraPath);
    const QString integratedPath = QString::fromUtf8(kIntegratedCameraPath);
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines[0], QStringLiteral("0 pDeviceFilter"));
    QCOMPARE(lines[1], simPath + " devpath");
    QCOMPARE(lines[2], QStringLiteral("Vidorra Sim Camera devname"));
    QCOMPARE(lines[3], QStringLiteral("0 pDeviceFilter"));
    QCOMPARE(lines[4], integratedPath + " devpath");
    QCOMPARE(lines[5], QStringLiteral("Sim Integrated Camera devname"));
    QVERIFY2(QRegularExpression("^0x[0-9a-f]+ pProcAmp$").match(lines[6]).hasMatch(), qPrintable(lines[6]));
    QVERIFY(!lines[6].startsWith(QStringLiteral("0x0 ")));
    QCOMPARE(lines[7], QStringLiteral("0 pProcAmp Get"));
    QCOMPARE(lines[8], QStringLiteral("WB mode: 1"));
    QCOMPARE(lines[9], QStringLiteral("WB value: 4600"));
    QVERIFY2(QRegularExpression("^0x[0-9a-f]+$").match(lines[10]).hasMatch(), qPrintable(lines[10]));
    QVERIFY(lines[10] != QStringLiteral("0x0"));
    QCOMPARE(printed, QStringLiteral("devname: Vidorra Sim Camera\ndevname: Sim Integrated Camera\nWB mode:1\n"));

    // Each examined device opened once as the control device, the chosen one again for the XU.
    const std::vector<std::string> opened{kSimCameraPath, kIntegratedCameraPath, kIntegratedCameraPath};
    QCOMPARE(openedDevices(), opened);
}

void BindingTest::searchLogSkipsPathlessDevices()
{
    simHub().camera(kSimCameraPath)->faults.noPath = true;
    simHub().camera(kSimCameraPath)->faults.noName = true;
    LogCapture log;
    StdoutCapture out;
    QCOMPARE(captureDevice.bindDevice(kIntegratedCameraName), status::Ok);
    const QString printed = out.finish();
    const QStringList lines = log.lines().mid(0, 4);
    const QStringList expected{QStringLiteral(" devname"), QStringLiteral("0 pDeviceFilter"),
                               QString::fromUtf8(kIntegratedCameraPath) + " devpath",
                               QStringLiteral("Sim Integrated Camera devname")};
    QCOMPARE(lines, expected);
    QVERIFY(printed.startsWith(QStringLiteral("devname: \ndevname: Sim Integrated Camera\n")));
    QCOMPARE(openedDevices(), (std::vector<std::string>{kIntegratedCameraPath, kIntegratedCameraPath}));
}

void BindingTest::pathlessMatchIsStillTheControlDevice()
{
    simHub().camera(kIntegratedCameraPath)->faults.noPath = true;
    simHub().camera(kIntegratedCameraPath)->whiteBalanceAuto = false;
    LogCapture log;
    QCOMPARE(captureDevice.bindDevice(kIntegratedCameraName), status::Ok);
    QCOMPARE(captureDevice.wbFlags, 2);  // read from the integrated camera, not the first one
    const QStringList lines = log.lines();
    QCOMPARE(lines[3], QStringLiteral("0 pDeviceFilter"));
    QCOMPARE(lines[4], QStringLiteral("Sim Integrated Camera devname"));
    const auto wb = callsOf(CallKind::ReadWhiteBalance);
    QCOMPARE(wb.size(), std::size_t{1});
    QCOMPARE(wb.front().device, std::string(kIntegratedCameraPath));
}

QTEST_MAIN(BindingTest)
#include "tst_device_binding.moc"
