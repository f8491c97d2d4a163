// Extension-unit requests: the node search, the length query, the bounded
// transfer and the bytes that reach the simulated camera.
#include "DeviceTestSupport.h"

#include "ValueCodec.h"

#include <QtTest>

#include <array>

using namespace vidorra;
using namespace vidorra::sim;
using namespace devicetest;

Q_DECLARE_METATYPE(std::vector<std::uint8_t>)

namespace {

SimCamera &simCamera() { return *simHub().camera(kSimCameraPath); }

std::vector<CallKind> kinds()
{
    std::vector<CallKind> out;
    for (const PortCall &call : simHub().calls())
        out.push_back(call.kind);
    return out;
}

}  // namespace

class TransportTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void unbound();
    void nodeSearch_data();
    void nodeSearch();
    void noExtensionUnit_data();
    void noExtensionUnit();
    void setBytes_data();
    void setBytes();
    void restoreDefault();
    void lastLogLine_data();
    void lastLogLine();
    void lengthBound_data();
    void lengthBound();
    void vanishedDevice_data();
    void vanishedDevice();
    void goneStatusesEndTheSearch_data();
    void goneStatusesEndTheSearch();
    void failedGetLeavesTheBlock();
};

void TransportTest::init()
{
    freshSimWorld();
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    simHub().clearCalls();
}

void TransportTest::unbound()
{
    freshSimWorld();
    LogCapture log;
    std::array<unsigned char, 24> block{};
    QCOMPARE(captureDevice.xuControl(selector::DeviceInfo, XuOp::Get, block.data(), 24), status::NotBound);
    unsigned char byte = 1;
    QCOMPARE(captureDevice.xuControl(selector::RestoreDefault, XuOp::Set, &byte, 1), status::NotBound);
    QVERIFY(simHub().calls().empty());
    QCOMPARE(log.lines(), (QStringList{QStringLiteral("0x0"), QStringLiteral("0x0")}));
    QCOMPARE(block, (std::array<unsigned char, 24>{}));
}

void TransportTest::nodeSearch_data()
{
    QTest::addColumn<int>("node");
    for (int node : {0, 1, 2, 7, 19})
        QTest::addRow("XU on node %d", node) << node;
}

void TransportTest::nodeSearch()
{
    QFETCH(int, node);
    simCamera().xuNode = node;
    simCamera().setValue(selector::Nr2d, 5);
    LogCapture log;
    unsigned char byte = 0;
    QCOMPARE(captureDevice.xuControl(selector::Nr2d, XuOp::Get, &byte, 1), status::Ok);
    QCOMPARE(byte, (unsigned char)5);

    const auto &calls = simHub().calls();
    QCOMPARE(calls.size(), std::size_t(node + 3));
    for (int n = 0; n <= node; ++n) {
        QCOMPARE(calls[n].kind, CallKind::ProbeNode);
        QCOMPARE(calls[n].node, std::uint32_t(n));
        QCOMPARE(calls[n].selector, std::uint32_t(selector::Nr2d));
        QCOMPARE(calls[n].status, n == node ? status::Ok : status::NotFound);
    }
    QCOMPARE(calls[node + 1].kind, CallKind::QueryLength);
    QCOMPARE(calls[node + 1].node, std::uint32_t(node));
    QCOMPARE(calls[node + 2].kind, CallKind::Get);
    QCOMPARE(calls[node + 2].node, std::uint32_t(node));
    QCOMPARE(calls[node + 2].bytes, std::vector<std::uint8_t>{5});

    const QStringList lines = log.lines();
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(QStringLiteral("0x")) && lines[0] != QStringLiteral("0x0"));
    QCOMPARE(lines[1], QStringLiteral("query node ok: 0 len: 0 num: %1").arg(node));
    QCOMPARE(lines[2], QStringLiteral("query node ok: 0 len: 1"));
    QCOMPARE(lines[3], QStringLiteral("0 return data: 5 1"));
}

void TransportTest::noExtensionUnit_data()
{
    QTest::addColumn<bool>("noUnit");
    QTest::addColumn<int>("selectorAsked");
    QTest::newRow("no extension unit") << true << selector::Drc;
    QTest::newRow("selector the unit does not carry") << false << 8;
    QTest::newRow("device failing every request") << false << -1;
}

void TransportTest::noExtensionUnit()
{
    QFETCH(bool, noUnit);
    QFETCH(int, selectorAsked);
    simCamera().faults.noExtensionUnit = noUnit;
    int asked = selectorAsked;
    if (asked < 0) {
        simCamera().faults.failRequests = -1;
        asked = selector::Drc;
    }
    LogCapture log;
    unsigned char byte = 7;
    QCOMPARE(captureDevice.xuControl(asked, XuOp::Set, &byte, 1), status::NotFound);
    QCOMPARE(kinds(), std::vector<CallKind>(20, CallKind::ProbeNode));
    QCOMPARE(simHub().calls().back().node, 19u);
    QCOMPARE(simCamera().value(selector::Drc), std::uint8_t{2});
    QCOMPARE(log.lines().size(), 1);  // only the handle line: nothing was sent
}

void TransportTest::setBytes_data()
{
    QTest::addColumn<int>("selectorSet");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("sent");

    QTest::newRow("red gain -10") << selector::RedGain << -10 << 0xF6;
    QTest::newRow("blue gain -128") << selector::BlueGain << -128 << 0x80;
    QTest::newRow("exposure compensation 127") << selector::ExposureCompensationValue << 127 << 0x7F;
    QTest::newRow("DRC 255") << selector::Drc << 255 << 0xFF;
    QTest::newRow("image style 6") << selector::ImageStyle << 6 << 6;
    QTest::newRow("flip H on") << selector::FlipH << 1 << 1;
}

void TransportTest::setBytes()
{
    QFETCH(int, selectorSet);
    QFETCH(int, value);
    QFETCH(int, sent);
    unsigned char byte = encodeSettingByte(value);
    QCOMPARE(captureDevice.xuControl(selectorSet, XuOp::Set, &byte, 1), status::Ok);
    const auto sets = callsOf(CallKind::Set);
    QCOMPARE(sets.size(), std::size_t{1});
    QCOMPARE(sets[0].selector, std::uint32_t(selectorSet));
    QCOMPARE(sets[0].node, 2u);
    QCOMPARE(sets[0].bytes, std::vector<std::uint8_t>{std::uint8_t(sent)});
    QCOMPARE(simCamera().value(selectorSet), std::uint8_t(sent));
}

void TransportTest::restoreDefault()
{
    SimCamera &camera = simCamera();
    camera.setValue(selector::Nr3d, 9);
    camera.setValue(selector::AudioSwitch, 1);
    camera.whiteBalanceAuto = false;
    unsigned char byte = 1;
    QCOMPARE(captureDevice.xuControl(selector::RestoreDefault, XuOp::Set, &byte, 1), status::Ok);
    const auto sets = callsOf(CallKind::Set);
    QCOMPARE(sets.size(), std::size_t{1});
    QCOMPARE(sets[0].selector, 23u);
    QCOMPARE(sets[0].bytes, std::vector<std::uint8_t>{1});

    // The reads right afterwards show the defaults.
    unsigned char nr3d = 0;
    unsigned char audio = 9;
    QCOMPARE(captureDevice.xuControl(selector::Nr3d, XuOp::Get, &nr3d, 1), status::Ok);
    QCOMPARE(captureDevice.xuControl(selector::AudioSwitch, XuOp::Get, &audio, 1), status::Ok);
    QCOMPARE(nr3d, (unsigned char)4);
    QCOMPARE(audio, (unsigned char)0);
    QVERIFY(camera.whiteBalanceAuto);
}

void TransportTest::lastLogLine_data()
{
    QTest::addColumn<int>("selectorUsed");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("line");

    QTest::newRow("Set red gain -10") << selector::RedGain << 2 << 0xF6 << "0 return data: 246 2";
    QTest::newRow("Set restore default") << selector::RestoreDefault << 2 << 1 << "0 return data: 1 2";
    QTest::newRow("Get DRC") << selector::Drc << 1 << 0 << "0 return data: 2 1";
    QTest::newRow("Get device information") << selector::DeviceInfo << 1 << 0 << "0 return data: 83 1";
    QTest::newRow("Get of a Set-only selector")
        << selector::RestoreDefault << 1 << 0 << QStringLiteral("%1 return data: 0 1").arg(status::InvalidArgument);
}

void TransportTest::lastLogLine()
{
    QFETCH(int, selectorUsed);
    QFETCH(int, op);
    QFETCH(int, byte);
    QFETCH(QString, line);
    std::array<unsigned char, 24> block{};
    block[0] = static_cast<unsigned char>(byte);
    const int length = op == 2 ? 1 : 24;
    LogCapture log;
    captureDevice.xuControl(selectorUsed, static_cast<XuOp>(op), block.data(), length);
    QCOMPARE(log.lines().last(), line);
}

void TransportTest::lengthBound_data()
{
    QTest::addColumn<int>("selectorUsed");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<std::uint32_t>("reported");    // 0: the control's own
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("transferred");           // bytes of the transfer; -1: none made
    QTest::addColumn<std::vector<std::uint8_t>>("block");  // 32 bytes after the call, was all 0xAA

    auto filled = [](std::vector<std::uint8_t> head) {
        head.resize(32, 0xAA);
        return head;
    };
    std::vector<std::uint8_t> record{'S', 'O', 'C', ':', 'V', '9', ' ', 'S', 'I', 'M', '-', '1', '.', '1'};
    record.resize(24, 0);
    QTest::newRow("record into 24 bytes") << selector::DeviceInfo << 1 << 24 << 0u << 0 << 24 << filled(record);
    QTest::newRow("one byte into 24 keeps the rest") << selector::Nr3d << 1 << 24 << 0u << 0 << 1 << filled({4});
    QTest::newRow("record into 1 byte") << selector::DeviceInfo << 1 << 1 << 0u << 0 << 24 << filled({'S'});
    std::vector<std::uint8_t> oversized{4};
    oversized.resize(24, 0);
    QTest::newRow("oversized Get cut to the block") << selector::Nr3d << 1 << 24 << 32u << 0 << 32 << filled(oversized);
    QTest::newRow("oversized Set refused") << selector::Nr3d << 2 << 1 << 2u << int(status::InsufficientBuffer) << -1
                                           << filled({});
    QTest::newRow("Set from a larger block sends one byte") << selector::Nr3d << 2 << 24 << 0u << 0 << 1 << filled({});
    QTest::newRow("impossible length refused") << selector::Nr3d << 1 << 24 << 0x10000u
                                               << int(status::InsufficientBuffer) << -1 << filled({});
    QTest::newRow("largest length refused") << selector::Nr3d << 1 << 24 << 0xFFFFFFFFu
                                            << int(status::InsufficientBuffer) << -1 << filled({});
}

void TransportTest::lengthBound()
{
    QFETCH(int, selectorUsed);
    QFETCH(int, op);
    QFETCH(int, capacity);
    QFETCH(std::uint32_t, reported);
    QFETCH(int, result);
    QFETCH(int, transferred);
    QFETCH(std::vector<std::uint8_t>, block);

    simCamera().faults.reportedLength = reported;
    std::vector<std::uint8_t> memory(32, 0xAA);
    QCOMPARE(captureDevice.xuControl(selectorUsed, static_cast<XuOp>(op), memory.data(), capacity), result);
    QCOMPARE(memory, block);
    const auto transfers = callsOf(op == 2 ? CallKind::Set : CallKind::Get);
    if (transferred < 0) {
        QVERIFY(transfers.empty());
    } else {
        QCOMPARE(transfers.size(), std::size_t{1});
        QCOMPARE(int(transfers[0].bytes.size()), transferred);
        if (op == 2)
            QCOMPARE(transfers[0].bytes, std::vector<std::uint8_t>{0xAA});
    }
    if (selectorUsed == selector::Nr3d)
        QCOMPARE(simCamera().value(selectorUsed), std::uint8_t(op == 2 && result == 0 ? 0xAA : 4));
}

void TransportTest::vanishedDevice_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("unplugged") << 0;
    QTest::newRow("hub reset") << 1;
    QTest::newRow("vanished while listed") << 2;
}

void TransportTest::vanishedDevice()
{
    QFETCH(int, how);
    if (how == 0)
        simHub().unplug(kSimCameraPath);
    else if (how == 1)
        simHub().reset();
    else
        simCamera().faults.vanished = true;
    simHub().clearCalls();

    std::array<unsigned char, 24> block;
    block.fill(0x55);
    QCOMPARE(captureDevice.xuControl(selector::DeviceInfo, XuOp::Get, block.data(), 24), status::NoSuchDevice);
    QCOMPARE(kinds(), std::vector<CallKind>{CallKind::ProbeNode});
    QCOMPARE(block[0], (unsigned char)0x55);
    QVERIFY(!succeeded(captureDevice.readWhiteBalanceMode()));
    QCOMPARE(captureDevice.wbFlags, 1);  // from the binding; a failed read keeps it
    captureDevice.showPropertyPage();  // nothing to show; must not hang or crash
}

// Each way a removed device answers ends the request at the first probe.
void TransportTest::goneStatusesEndTheSearch_data()
{
    QTest::addColumn<Status>("gone");
    QTest::newRow("no such device") << status::NoSuchDevice;
    QTest::newRow("not connected") << status::DeviceNotConnected;
    QTest::newRow("file not found") << status::FileNotFound;
}

void TransportTest::goneStatusesEndTheSearch()
{
    QFETCH(Status, gone);
    simCamera().faults.failStatus = gone;
    simCamera().faults.failRequests = -1;
    std::uint8_t byte = 1;
    QCOMPARE(captureDevice.xuControl(selector::FlipV, XuOp::Set, &byte, 1), gone);
    QCOMPARE(kinds(), std::vector<CallKind>{CallKind::ProbeNode});
}

void TransportTest::failedGetLeavesTheBlock()
{
    // The search and the length query pass; the camera refuses the transfer.
    std::array<unsigned char, 24> block;
    block.fill(0x33);
    QCOMPARE(captureDevice.xuControl(selector::RestoreDefault, XuOp::Get, block.data(), 24), status::InvalidArgument);
    std::array<unsigned char, 24> untouched;
    untouched.fill(0x33);
    QCOMPARE(block, untouched);
    const auto gets = callsOf(CallKind::Get);
    QCOMPARE(gets.size(), std::size_t{1});
    QCOMPARE(gets[0].status, status::InvalidArgument);
}

QTEST_MAIN(TransportTest)
#include "tst_xu_transport.moc"
