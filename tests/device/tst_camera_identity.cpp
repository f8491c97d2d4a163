// Camera identities: what stays the same for one camera, told apart from its
// twin, and always safe as a file name whatever the camera calls itself.
#include "CameraIdentity.h"

#include <QtTest>

using vidorra::cameraIdentity;
using vidorra::identityFromDevicePath;
using vidorra::isCameraIdentity;

class TestCameraIdentity : public QObject {
    Q_OBJECT
private slots:
    void fromUsb_data();
    void fromUsb();
    void longSerialsStayApart();
    void anySerialMakesASafeName_data();
    void anySerialMakesASafeName();
    void fromWindowsPath_data();
    void fromWindowsPath();
    void recognised_data();
    void recognised();
};

void TestCameraIdentity::fromUsb_data()
{
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("product");
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<QByteArray>("port");
    QTest::addColumn<QString>("identity");
    QTest::newRow("serial") << 0xf0f0 << 0x0102 << QByteArray("SN4711") << QByteArray("1-2") << "f0f0-0102-SN4711";
    QTest::newRow("serial wins over the port") << 0xf0f1 << 0x0001 << QByteArray("A.b_c-9") << QByteArray("3-1")
                                               << "f0f1-0001-A.b_c-9";
    QTest::newRow("no serial: the port") << 0xf0f0 << 0x0102 << QByteArray() << QByteArray("1-2.3")
                                         << "f0f0-0102-port1-2.3";
    QTest::newRow("blank serial: the port") << 0xf0f0 << 0x0102 << QByteArray("   ") << QByteArray("2-1")
                                            << "f0f0-0102-port2-1";
    QTest::newRow("ids in lower-case hex, four digits") << 0xF0F2 << 0x00EF << QByteArray("x") << QByteArray() << "f0f2-00ef-x";
    QTest::newRow("a serial that reads as a port") << 0xf0f0 << 0x0102 << QByteArray("port1-2") << QByteArray("1-1")
                                                   << "f0f0-0102-%70ort1-2";
    QTest::newRow("path characters") << 0xf0f0 << 0x0102 << QByteArray("../../etc/x") << QByteArray()
                                     << "f0f0-0102-..%2F..%2Fetc%2Fx";
    QTest::newRow("control characters") << 0xf0f0 << 0x0102 << QByteArray("\x1b[2J\n") << QByteArray()
                                        << "f0f0-0102-%1B%5B2J%0A";
    QTest::newRow("escape characters escaped") << 0xf0f0 << 0x0102 << QByteArray("50% ~x") << QByteArray()
                                               << "f0f0-0102-50%25%20%7Ex";
    QTest::newRow("UTF-8") << 0xf0f0 << 0x0102 << QByteArray("K\xc3\xa4se") << QByteArray() << "f0f0-0102-K%C3%A4se";
    QTest::newRow("neither") << 0xf0f0 << 0x0102 << QByteArray() << QByteArray() << "";
    QTest::newRow("a root hub is no port") << 0xf0f0 << 0x0102 << QByteArray() << QByteArray("usb1") << "";
    QTest::newRow("no path in a port") << 0xf0f0 << 0x0102 << QByteArray() << QByteArray("1-2/../x") << "";
}

void TestCameraIdentity::fromUsb()
{
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(QByteArray, serial);
    QFETCH(QByteArray, port);
    QFETCH(QString, identity);
    const std::string made = cameraIdentity(std::uint16_t(vendor), std::uint16_t(product), serial.toStdString(),
                                            port.toStdString());
    QCOMPARE(QString::fromStdString(made), identity);
    QCOMPARE(isCameraIdentity(made), !identity.isEmpty());
}

void TestCameraIdentity::longSerialsStayApart()
{
    const std::string common(120, 'A');
    const std::string a = cameraIdentity(0xf0f0, 0x0102, common + "1", "");
    const std::string b = cameraIdentity(0xf0f0, 0x0102, common + "2", "");
    QVERIFY(a != b);
    QVERIFY2(a.size() <= vidorra::kMaxIdentityLength, a.c_str());
    QVERIFY2(QString::fromStdString(a).startsWith("f0f0-0102-" + QString(40, 'A') + "~"), a.c_str());
    // The same serial always gives the same name.
    QCOMPARE(cameraIdentity(0xf0f0, 0x0102, common + "1", "1-4"), a);
    // A long escaped serial is never cut inside an escape.
    const std::string escaped = cameraIdentity(0xf0f0, 0x0102, std::string(60, '/'), "");
    QVERIFY2(QString::fromStdString(escaped).contains(QRegularExpression("^f0f0-0102-(%2F){13}~[0-9a-f]{16}$")),
             escaped.c_str());
}

void TestCameraIdentity::anySerialMakesASafeName_data()
{
    QTest::addColumn<QByteArray>("serial");
    QTest::newRow("dot") << QByteArray(".");
    QTest::newRow("dot dot") << QByteArray("..");
    QTest::newRow("slashes") << QByteArray("/////");
    QTest::newRow("every byte") << [] {
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        return all;
    }();
    QTest::newRow("long text") << QByteArray(500, 'z');
}

void TestCameraIdentity::anySerialMakesASafeName()
{
    QFETCH(QByteArray, serial);
    const std::string made = cameraIdentity(0xf0f0, 0x0102, serial.toStdString(), "1-1");
    QVERIFY(isCameraIdentity(made));
    QVERIFY(made.size() <= vidorra::kMaxIdentityLength);
    QVERIFY(made.find('/') == std::string::npos);
    for (const char c : made)
        QVERIFY2(c > 0x20 && c < 0x7f, made.c_str());
}

void TestCameraIdentity::fromWindowsPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("identity");
    const QString video = QStringLiteral("#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
    QTest::newRow("interface of a composite camera")
        << "\\\\?\\usb#vid_f0f2&pid_2247&mi_00#6&2a7e9c5&0&0000" + video << "f0f2-2247-6%262a7e9c5%260%260000";
    QTest::newRow("moniker name, upper case")
        << "@device:pnp:\\\\?\\USB#VID_F0F2&PID_2247&MI_00#6&2A7E9C5&0&0000" + video
        << "f0f2-2247-6%262a7e9c5%260%260000";
    QTest::newRow("a camera's own serial") << "\\\\?\\usb#vid_f0f1&pid_0003#sn4711" + video << "f0f1-0003-sn4711";
    QTest::newRow("not USB") << "\\\\?\\acpi#int3470#1" + video << "";
    QTest::newRow("no product id") << "\\\\?\\usb#vid_f0f2#6&1&0" + video << "";
    QTest::newRow("no instance part") << "\\\\?\\usb#vid_f0f2&pid_2247" << "";
    QTest::newRow("short id") << "\\\\?\\usb#vid_f0f&pid_2247#x" + video << "";
    QTest::newRow("a Linux path") << "/dev/video0" << "";
}

void TestCameraIdentity::fromWindowsPath()
{
    QFETCH(QString, path);
    QFETCH(QString, identity);
    QCOMPARE(QString::fromStdString(identityFromDevicePath(path.toStdString())), identity);
}

void TestCameraIdentity::recognised_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("recognised");
    QTest::newRow("serial") << "f0f0-0102-SN4711" << true;
    QTest::newRow("port") << "f0f0-0102-port1-2.3" << true;
    QTest::newRow("escaped") << "f0f0-0102-K%C3%A4se" << true;
    QTest::newRow("hashed") << "f0f0-0102-AAAA~0123456789abcdef" << true;
    QTest::newRow("ids only") << "f0f0-0102-" << false;
    QTest::newRow("a path") << "f0f0-0102-a/b" << false;
    QTest::newRow("parent folder") << "../f0f0-0102-x" << false;
    QTest::newRow("a space") << "f0f0-0102-a b" << false;
    QTest::newRow("short id") << "f0f-0102-x" << false;
    QTest::newRow("not hex") << "f0g0-0102-x" << false;
    QTest::newRow("too long") << "f0f0-0102-" + QString(71, 'x') << false;
    QTest::newRow("empty") << "" << false;
}

void TestCameraIdentity::recognised()
{
    QFETCH(QString, text);
    QFETCH(bool, recognised);
    QCOMPARE(isCameraIdentity(text.toStdString()), recognised);
}

QTEST_APPLESS_MAIN(TestCameraIdentity)
#include "tst_camera_identity.moc"
