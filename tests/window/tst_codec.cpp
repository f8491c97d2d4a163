// The pure conversions shared by the window and the command-line tool.
#include <QtTest>

#include "ValueCodec.h"

#include <QSet>

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
        for (const VendorControl *c : readPass())
            order << c->selector;
        QCOMPARE(order, (QList<int>{9, 13, 6, 7, 12, 15, 14, 11, 10, 18, 26, 25, 24}));
        const VendorControl *exposure = findControlByName("exposure-compensation-switch");
        QVERIFY(exposure);
        QCOMPARE(int(switchByte(*exposure, true)), 0);
        QCOMPARE(decodeSetting(*exposure, 0), 1);
        QCOMPARE(decodeSetting(*exposure, 2), 0);
        const VendorControl *flip = findControlByName("flip-v");
        QCOMPARE(int(switchByte(*flip, true)), 1);
        QCOMPARE(decodeSetting(*flip, 2), 0);
        QCOMPARE(findPresetByName(QStringLiteral("clarity-led"))->value, 4);
        QVERIFY(!findPreset(7));
        QVERIFY(!findControlByName("RED-GAIN"));
    }

    // What every row must keep, whatever is added: a read only of what can be
    // read, a byte for every setting, a default inside the range, one name and
    // one place each.
    void tableInvariants()
    {
        QSet<QString> names;
        QSet<int> selectors;
        for (const VendorControl &c : kVendorControls) {
            const QString row = QString::fromLatin1(c.name);
            QVERIFY2(!names.contains(row) && !selectors.contains(c.selector), qPrintable(row));
            names << row;
            selectors << c.selector;
            QVERIFY2(c.canGet() || c.canSet(), qPrintable(row));
            QVERIFY2(c.readOrder == 0 || c.canGet(), qPrintable(row));
            QVERIFY2(c.minimum <= c.maximum, qPrintable(row));
            if (c.kind == ControlKind::Record) {
                QCOMPARE(int(c.length), selector::DeviceInfoLength);
                QVERIFY(!c.canSet());
                continue;
            }
            QVERIFY2(c.length == 1, qPrintable(row));
            if (c.kind == ControlKind::Command)
                continue;
            QVERIFY2(c.canGet() && c.canSet() && c.readOrder > 0, qPrintable(row));
            const int value = decodeSetting(c, c.simDefault);
            QVERIFY2(value >= c.minimum && value <= c.maximum, qPrintable(row));
            QVERIFY2(c.kind == ControlKind::Preset || c.widget, qPrintable(row));
        }
        QCOMPARE(int(readPass().size()), 13);
        for (int i = 0; i < int(readPass().size()); ++i)
            QCOMPARE(readPass()[std::size_t(i)]->readOrder, i + 1);
    }
};

QTEST_MAIN(CodecTest)
#include "tst_codec.moc"
