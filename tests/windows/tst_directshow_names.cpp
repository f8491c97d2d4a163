// The DirectShow backend's text rules, which need no Windows header: friendly
// names from UTF-16, and the match of a device path with Qt's device name.
#include "DirectShowNames.h"

#include <QtTest>

#include <string>

using vidorra::directshow::devicePathMatchesDeviceName;
using vidorra::directshow::utf16ToUtf8;

class TestDirectShowNames : public QObject {
    Q_OBJECT
private slots:
    void utf16ToUtf8_data();
    void utf16ToUtf8();
    void pathMatches_data();
    void pathMatches();
};

void TestDirectShowNames::utf16ToUtf8_data()
{
    QTest::addColumn<QByteArray>("utf16");  // code units, little-endian
    QTest::addColumn<QByteArray>("utf8");

    auto units = [](std::initializer_list<char16_t> list) {
        QByteArray bytes;
        for (char16_t u : list) {
            bytes.append(static_cast<char>(u & 0xFF));
            bytes.append(static_cast<char>(u >> 8));
        }
        return bytes;
    };
    QTest::newRow("ascii") << units({'U', 'S', 'B', ' ', 'C', 'a', 'm'}) << QByteArray("USB Cam");
    QTest::newRow("empty") << units({}) << QByteArray();
    QTest::newRow("latin") << units({'C', 'a', 'm', 0xE9}) << QByteArray("Cam\xC3\xA9");
    QTest::newRow("cjk") << units({0x65E5, 0x672C}) << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC");
    QTest::newRow("surrogate pair") << units({0xD83D, 0xDCF7}) << QByteArray("\xF0\x9F\x93\xB7");
    QTest::newRow("lone high surrogate") << units({'a', 0xD83D, 'b'}) << QByteArray("a\xEF\xBF\xBD" "b");
    QTest::newRow("lone low surrogate") << units({0xDCF7}) << QByteArray("\xEF\xBF\xBD");
    QTest::newRow("high surrogate at end") << units({'x', 0xD800}) << QByteArray("x\xEF\xBF\xBD");
    QTest::newRow("two-byte edge") << units({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF})
                                   << QByteArray("\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
}

void TestDirectShowNames::utf16ToUtf8()
{
    QFETCH(QByteArray, utf16);
    QFETCH(QByteArray, utf8);
    std::u16string text;
    for (int i = 0; i + 1 < utf16.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                             (static_cast<unsigned char>(utf16[i + 1]) << 8)));
    const std::string out = ::vidorra::directshow::utf16ToUtf8(text.data(), text.size());
    QCOMPARE(QByteArray(out.data(), static_cast<int>(out.size())), utf8);
}

void TestDirectShowNames::pathMatches_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<bool>("matches");

    const QString path = QStringLiteral(
        "\\\\?\\usb#vid_f0f2&pid_2247&mi_00#6&2a7e9c5&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9191770}\\global");
    QTest::newRow("display name") << path << "@device:pnp:" + path << true;
    QTest::newRow("display name, other case") << path << ("@device:pnp:" + path).toUpper() << true;
    QTest::newRow("path itself") << path << path << true;
    QTest::newRow("other instance") << path << "@device:pnp:" + QString(path).replace("0000", "0001") << false;
    QTest::newRow("longer") << path << "@device:pnp:" + path + "\\x" << false;
    QTest::newRow("shorter") << path << "@device:pnp:" + path.left(path.size() - 1) << false;
    QTest::newRow("software device") << path << "@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}" << false;
    QTest::newRow("no path") << QString() << "@device:pnp:" << false;
    QTest::newRow("both empty") << QString() << QString() << false;
    QTest::newRow("prefix only in path") << "@device:pnp:" + path << path << false;
    QTest::newRow("non-ascii exact") << QStringLiteral("\\\\?\\root#kam\u00e9ra") << QStringLiteral("@device:pnp:\\\\?\\ROOT#kam\u00e9ra") << true;
    QTest::newRow("non-ascii case differs") << QStringLiteral("\\\\?\\root#kam\u00e9ra") << QStringLiteral("@device:pnp:\\\\?\\root#KAM\u00c9RA") << false;
}

void TestDirectShowNames::pathMatches()
{
    QFETCH(QString, path);
    QFETCH(QString, deviceName);
    QFETCH(bool, matches);
    QCOMPARE(devicePathMatchesDeviceName(path.toStdString(), deviceName.toStdString()), matches);
}

QTEST_APPLESS_MAIN(TestDirectShowNames)
#include "tst_directshow_names.moc"
