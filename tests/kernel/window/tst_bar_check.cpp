// The viewfinder judge against the committed test card, drawn the way the
// viewfinder shows it (scaled to fit, centred on black), and against pictures
// it must refuse.
#include <QtTest>

#include "BarCheck.h"

#include <QPainter>

using namespace vmwindow;

namespace {

QImage card()
{
    QImage image(QStringLiteral(TEST_CARD_DIR "/test-card-0.jpg"));
    return image;
}

QImage shownIn(const QSize &area, const QImage &picture)
{
    QImage out(area, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(shownPictureRect(area, picture.size()), picture);
    return out;
}

}  // namespace

class BarCheckTest : public QObject {
    Q_OBJECT
private slots:
    void cardIsOk_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::newRow("same size") << QSize(640, 480);
        QTest::newRow("wide, pillar-boxed") << QSize(789, 420);
        QTest::newRow("tall, letter-boxed") << QSize(300, 500);
        QTest::newRow("small") << QSize(160, 120);
    }
    void cardIsOk()
    {
        QFETCH(QSize, area);
        const QImage picture = card();
        QVERIFY(!picture.isNull());
        const BarResult r = checkBars(shownIn(area, picture));
        QCOMPARE(verdictName(r.verdict), "ok");
        QCOMPARE(r.colours.split(' ').size(), 8);
    }
    void blackIsBlack()
    {
        QImage black(640, 480, QImage::Format_RGB32);
        black.fill(Qt::black);
        QCOMPARE(verdictName(checkBars(black).verdict), "black");
        QCOMPARE(checkBars(black).colours, QStringLiteral("000000 000000 000000 000000 000000 000000 000000 000000"));
    }
    void otherPicturesAreWrong()
    {
        QImage grey(640, 480, QImage::Format_RGB32);
        grey.fill(QColor(128, 128, 128));
        QCOMPARE(verdictName(checkBars(grey).verdict), "wrong");
        // The card flipped left to right, or shifted by half a bar.
        QCOMPARE(verdictName(checkBars(shownIn(QSize(640, 480), card().mirrored(true, false))).verdict), "wrong");
        QImage shifted(640, 480, QImage::Format_RGB32);
        shifted.fill(Qt::black);
        QPainter(&shifted).drawImage(40, 0, card());
        QCOMPARE(verdictName(checkBars(shifted).verdict), "wrong");
        // The picture drawn over the whole area (stretched) does not land where the widget shows it.
        QCOMPARE(verdictName(checkBars(card().scaled(900, 300)).verdict), "wrong");
        QCOMPARE(verdictName(checkBars(QImage()).verdict), "wrong");
    }
};

QTEST_MAIN(BarCheckTest)
#include "tst_bar_check.moc"
