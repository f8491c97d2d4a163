// The committed test-card JPEGs decode, through Qt's JPEG reader (libjpeg),
// to the card that make_test_card.py describes: the bars' colours, both
// stripes of the detail band, and the frame counter. A broken encoder or a
// garbled frame fails here before any VM sees it.
#include "TestCardBars.h"

#include <QImage>
#include <QtTest>

namespace {

const int kFrames = 8;
const int kTolerance = 8;  // per channel, for 4:2:0 chroma and quantisation

bool near(const QColor &a, QRgb b) { return testcard::near(a.rgb(), b, kTolerance); }

QString describe(const QColor &c)
{
    return QStringLiteral("(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

QImage card(int frame)
{
    return QImage(QStringLiteral(TEST_CARD_DIR "/test-card-%1.jpg").arg(frame), "JPEG");
}

}  // namespace

class TestCard : public QObject {
    Q_OBJECT

private slots:
    void decodesToTheCard_data()
    {
        QTest::addColumn<int>("frame");
        for (int k = 0; k < kFrames; ++k)
            QTest::newRow(qPrintable(QStringLiteral("frame %1").arg(k))) << k;
    }

    void decodesToTheCard()
    {
        QFETCH(int, frame);
        const QImage image = card(frame);
        QVERIFY2(!image.isNull(), "the JPEG does not decode");
        QCOMPARE(image.size(), QSize(640, 480));

        for (int i = 0; i < 8; ++i) {
            for (int y : {8, 160, 311}) {
                const QColor c = image.pixelColor(40 + 80 * i, y);
                QVERIFY2(near(c, testcard::kBars[i]),
                         qPrintable(QStringLiteral("bar %1 at y %2 is %3").arg(i).arg(y).arg(describe(c))));
            }
        }

        // The widest stripes of the detail band, at its left end.
        QVERIFY(near(image.pixelColor(16, 352), qRgb(255, 255, 255)));
        QVERIFY(near(image.pixelColor(43, 352), qRgb(0, 0, 0)));

        QVERIFY(near(image.pixelColor(320, 392), qRgb(128, 128, 128)));
        QVERIFY(near(image.pixelColor(32, 432), qRgb(128, 128, 128)));
        int counter = 0;
        for (int i = 0; i < 8; ++i) {
            const QColor c = image.pixelColor(96 + 64 * i, 432);
            const bool white = near(c, qRgb(255, 255, 255));
            QVERIFY2(white || near(c, qRgb(0, 0, 0)),
                     qPrintable(QStringLiteral("cell %1 is %2").arg(i).arg(describe(c))));
            counter = counter << 1 | (white ? 1 : 0);
            // Between two cells: the grey background.
            QVERIFY(near(image.pixelColor(128 + 64 * i, 432), qRgb(128, 128, 128)));
        }
        QCOMPARE(counter, frame);
        QVERIFY(frame == 0 || card(frame) != card(0));  // each frame its own picture
    }
};

QTEST_GUILESS_MAIN(TestCard)
#include "tst_test_card.moc"
