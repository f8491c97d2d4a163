// The descriptor parser over the committed fixtures and malformed variants.
#include "FakeKernel.h"
#include "UvcDescriptors.h"

#include <QtTest>

using vidorra::kXuPropertySet;
using vidorra::v4l::parseVideoControl;
using vidorra::v4l::UvcEntity;
using vidorra::v4l::UvcTopology;
using vidorra::test::FakeKernel;

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

UvcTopology parseFixture(const char *name, int interfaceNumber, int configuration = 1)
{
    const auto bytes = FakeKernel::fixtureBytes(name);
    return parseVideoControl(bytes.data(), bytes.size(), interfaceNumber, configuration);
}

// Our extension unit's ID and the selectors it announces, or -1.
int ourUnit(const UvcTopology &t, std::vector<int> *selectors = nullptr)
{
    for (const UvcEntity &e : t.entities) {
        if (e.kind == UvcEntity::Kind::ExtensionUnit && e.guid == kXuPropertySet) {
            if (selectors)
                for (int s = 1; s <= 64; ++s)
                    if (e.hasControl(static_cast<std::uint32_t>(s)))
                        selectors->push_back(s);
            return e.id;
        }
    }
    return -1;
}

std::vector<int> range(int from, int to, std::vector<int> except = {})
{
    std::vector<int> v;
    for (int i = from; i <= to; ++i)
        if (std::find(except.begin(), except.end(), i) == except.end())
            v.push_back(i);
    return v;
}

}  // namespace

class TestUvcDescriptors : public QObject {
    Q_OBJECT
private slots:
    void extensionUnit_data();
    void extensionUnit();
    void typicalCameraTopology();
    void guidIsReadLittleEndian();
    void malformedGivesNoUnit_data();
    void malformedGivesNoUnit();
    void everyPrefixIsSafe();
    void duplicateUnitIdKeepsTheFirst();
    void otherConfigurationIsIgnored();
};

void TestUvcDescriptors::extensionUnit_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("interfaceNumber");
    QTest::addColumn<int>("unit");
    QTest::addColumn<std::vector<int>>("selectors");

    QTest::newRow("typical") << "typical.bin" << 0 << 4 << range(1, 26);
    QTest::newRow("two functions, first") << "two_functions.bin" << 0 << 4 << range(1, 26);
    QTest::newRow("two functions, second") << "two_functions.bin" << 2 << 6 << std::vector<int>{9, 12, 23};
    QTest::newRow("two functions, streaming interface") << "two_functions.bin" << 1 << -1 << std::vector<int>{};
    QTest::newRow("no such interface") << "typical.bin" << 7 << -1 << std::vector<int>{};
    QTest::newRow("other GUID only") << "other_guid.bin" << 0 << -1 << std::vector<int>{};
    QTest::newRow("missing selectors") << "missing_selectors.bin" << 0 << 4 << range(1, 26, {18, 26});
}

void TestUvcDescriptors::extensionUnit()
{
    QFETCH(QString, fixture);
    QFETCH(int, interfaceNumber);
    QFETCH(int, unit);
    QFETCH(std::vector<int>, selectors);
    std::vector<int> found;
    const UvcTopology t = parseFixture(fixture.toUtf8().constData(), interfaceNumber);
    QCOMPARE(ourUnit(t, &found), unit);
    QCOMPARE(found, selectors);
}

void TestUvcDescriptors::typicalCameraTopology()
{
    const UvcTopology t = parseFixture("typical.bin", 0);
    QVERIFY(t.interfaceFound);
    // The streaming interface's format (0x06) and frame (0x07) descriptors
    // share subtype numbers with units and must not become entities.
    QCOMPARE(t.entities.size(), std::size_t(4));
    QCOMPARE(int(t.entities[0].kind), int(UvcEntity::Kind::InputTerminal));
    QCOMPARE(t.entities[0].id, std::uint8_t(1));
    QCOMPARE(t.entities[0].terminalType, std::uint16_t(0x0201));
    QCOMPARE(int(t.entities[1].kind), int(UvcEntity::Kind::ProcessingUnit));
    QCOMPARE(t.entities[1].id, std::uint8_t(2));
    QVERIFY(t.entities[1].hasControl(10));  // white balance temperature
    QVERIFY(t.entities[1].hasControl(11));  // its automatic control
    QCOMPARE(int(t.entities[2].kind), int(UvcEntity::Kind::ExtensionUnit));
    QCOMPARE(t.entities[2].numControls, std::uint8_t(26));
    QCOMPARE(t.entities[2].bmControls, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0x03}));
    QCOMPARE(int(t.entities[3].kind), int(UvcEntity::Kind::OutputTerminal));
    QCOMPARE(t.entities[3].id, std::uint8_t(5));
    QVERIFY(!t.entities[2].hasControl(0));
    QVERIFY(!t.entities[2].hasControl(27));
    QVERIFY(!t.entities[2].hasControl(33));  // past bControlSize
}

void TestUvcDescriptors::guidIsReadLittleEndian()
{
    // {A7A6A934-3A4A-4351-85F4-042EF2CDCAAB} as stored in the descriptor.
    const std::uint8_t xu[] = {
        0x1A, 0x24, 0x06, 0x09, 0x34, 0xA9, 0xA6, 0xA7, 0x4A, 0x3A, 0x51, 0x43, 0x85,
        0xF4, 0x04, 0x2E, 0xF2, 0xCD, 0xCA, 0xAB, 0x01, 0x00, 0x01, 0x01, 0x00, 0x00,
    };
    std::vector<std::uint8_t> bytes = {9, 0x04, 0, 0, 0, 0x0E, 0x01, 0, 0};
    bytes.insert(bytes.end(), std::begin(xu), std::end(xu));
    const UvcTopology t = parseVideoControl(bytes.data(), bytes.size(), 0);
    QCOMPARE(t.entities.size(), std::size_t(1));
    QVERIFY(t.entities[0].guid == kXuPropertySet);
    QCOMPARE(t.entities[0].id, std::uint8_t(9));
    QVERIFY(t.entities[0].hasControl(1));
}

void TestUvcDescriptors::malformedGivesNoUnit_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("entitiesBefore");  // what comes before the broken descriptor stays
    QTest::newRow("truncated") << "malformed_truncated.bin" << 2;
    QTest::newRow("bLength 0") << "malformed_zero_length.bin" << 2;
    QTest::newRow("bLength past the end") << "malformed_past_end.bin" << 2;
    QTest::newRow("shorter than bNrInPins claims") << "malformed_xu_pins.bin" << 3;
    QTest::newRow("shorter than bControlSize claims") << "malformed_xu_control_size.bin" << 3;
}

void TestUvcDescriptors::malformedGivesNoUnit()
{
    QFETCH(QString, fixture);
    QFETCH(int, entitiesBefore);
    const UvcTopology t = parseFixture(fixture.toUtf8().constData(), 0);
    QCOMPARE(ourUnit(t), -1);
    QVERIFY(!t.entity(4));
    // A broken unit in the middle leaves the others (2 before it, the output
    // terminal after it when the walk can go on).
    QCOMPARE(int(t.entities.size()), entitiesBefore);
}

void TestUvcDescriptors::everyPrefixIsSafe()
{
    // Every cut of the real descriptors parses without reading past the cut
    // (ASan watches the copy); a cut inside the unit never yields it.
    const auto full = FakeKernel::fixtureBytes("two_functions.bin");
    for (std::size_t n = 0; n <= full.size(); ++n) {
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        const UvcTopology t = parseVideoControl(cut.data(), cut.size(), 0);
        if (const UvcEntity *e = t.entity(4))
            QCOMPARE(e->bmControls.size(), std::size_t(4));
    }
    QCOMPARE(parseVideoControl(nullptr, 10, 0).entities.size(), std::size_t(0));
}

void TestUvcDescriptors::duplicateUnitIdKeepsTheFirst()
{
    auto bytes = FakeKernel::fixtureBytes("typical.bin");
    // Make the output terminal claim ID 4 as well: the extension unit keeps it.
    const std::uint8_t ot[] = {0x09, 0x24, 0x03, 0x05};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(ot), std::end(ot));
    QVERIFY(at != bytes.end());
    at[3] = 4;
    const UvcTopology t = parseVideoControl(bytes.data(), bytes.size(), 0);
    QCOMPARE(int(t.entity(4)->kind), int(UvcEntity::Kind::ExtensionUnit));
    QCOMPARE(t.entities.size(), std::size_t(3));
}

void TestUvcDescriptors::otherConfigurationIsIgnored()
{
    // The active configuration is 1; in configuration 2 the camera has no function.
    const UvcTopology none = parseFixture("typical.bin", 0, 2);
    QVERIFY(!none.interfaceFound);
    QCOMPARE(none.entities.size(), std::size_t(0));
    QCOMPARE(ourUnit(parseFixture("typical.bin", 0, 0)), 4);  // 0: the first that has it
}

QTEST_APPLESS_MAIN(TestUvcDescriptors)
#include "tst_uvc_descriptors.moc"
