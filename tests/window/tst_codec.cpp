// The pure conversions shared by the window and the command-line tool.
#include <QtTest>

#include "ValueCodec.h"

using namespace vidorra;

class CodecTest : public QObject {
    Q_OBJECT
private slots:
    void markers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marked");
        QTest::newRow("V1 anywhere") << "abc SOC:V1" << "v1 SOC:abc SOC:V1";
        QTest::newRow("leading 1.") << "1.0" << "v1 SOC:1.0";
        QTest::newRow("1. later") << "x1.0" << "x1.0";
        QTest::newRow("V8") << "SOC:V8" << "v2 SOC:V8";
        QTest::newRow("V9") << "SOC:V9" << "v3 SOC:V9";
        QTest::newRow("V8 made by the V1 marker") << "V8 SOC:V1" << "v2 v1 SOC:V8 SOC:V1";
        QTest::newRow("all three") << "SOC:V1 SOC:V8 SOC:V9" << "v3 v2 v1 SOC:SOC:V1 SOC:V8 SOC:V9";
        QTest::newRow("case matters") << "Soc:V9 soc:v8" << "Soc:V9 soc:v8";
        QTest::newRow("empty") << "" << "";
    }

    void markers()
    {
        QFETCH(QString, text);
        QFETCH(QString, marked);
        QCOMPARE(addChipGenerationMarkers(text), marked);
    }

    void signedBytes_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("value");
        for (auto [b, v] : {std::pair{0, 0}, {10, 10}, {127, 127}, {128, 128}, {129, -127}, {246, -10}, {255, -1}})
            QTest::addRow("%d", b) << b << v;
    }

    void signedBytes()
    {
        QFETCH(int, byte);
        QFETCH(int, value);
        QCOMPARE(decodeSignedByte(std::uint8_t(byte)), value);
        if (value != 128)
            QCOMPARE(int(encodeSettingByte(value)), byte);
    }

    void record_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero ends it") << QByteArray("ab\0cd", 5) << "ab";
        QTest::newRow("no zero: all 24") << QByteArray(24, 'x') << QString(24, QLatin1Char('x'));
        QTest::newRow("Latin-1") << QByteArray("\xb5\xff", 2) << QString::fromUtf8("\u00b5\u00ff");
        QTest::newRow("leading zero") << QByteArray(24, '\0') << "";
    }

    void record()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeDeviceInfoRecord(reinterpret_cast<const std::uint8_t *>(bytes.constData()), bytes.size()), text);
    }

    void readOrderAndSwitchSense()
    {
        QList<int> order;
        for (const SettingInfo &s : kSettings)
            order << s.selector;
        QCOMPARE(order, (QList<int>{13, 6, 7, 12, 15, 14, 11, 10, 18, 26, 25, 24}));
        const SettingInfo *exposure = findSetting(QStringLiteral("exposure-compensation-switch"));
        QVERIFY(exposure);
        QCOMPARE(int(switchByte(*exposure, true)), 0);
        QCOMPARE(decodeSetting(*exposure, 0), 1);
        QCOMPARE(decodeSetting(*exposure, 2), 0);
        const SettingInfo *flip = findSetting(QStringLiteral("flip-v"));
        QCOMPARE(int(switchByte(*flip, true)), 1);
        QCOMPARE(decodeSetting(*flip, 2), 0);
        QCOMPARE(findPresetByName(QStringLiteral("clarity-led"))->value, 4);
        QVERIFY(!findPreset(7));
        QVERIFY(!findSetting(QStringLiteral("RED-GAIN")));
    }
};

QTEST_MAIN(CodecTest)
#include "tst_codec.moc"
