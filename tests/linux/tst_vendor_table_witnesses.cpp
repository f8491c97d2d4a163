// The fake kernel's vendor unit is written out on its own, as an independent
// witness of the camera; it must describe the same controls as the product's
// table, or the Linux suites would test against a different camera.
#include "LinuxTestRig.h"
#include "VendorControls.h"

#include <QtTest>

#include <set>

using namespace vidorra;
using namespace vidorra::test;

class VendorTableWitnessesTest : public QObject {
    Q_OBJECT
private slots:
    void fakeKernelUnitAgrees();
    void fakeKernelReadPassAgrees();
};

void VendorTableWitnessesTest::fakeKernelUnitAgrees()
{
    const FakeXuUnit unit = FakeKernel::vendorUnit(4, {0xFF, 0xFF, 0xFF, 0x03});
    std::set<int> witnessed;
    for (const auto &[selector, control] : unit.controls)
        witnessed.insert(selector);
    std::set<int> described;
    for (const VendorControl &c : kVendorControls)
        described.insert(c.selector);
    QCOMPARE(witnessed, described);

    for (const VendorControl &c : kVendorControls) {
        const FakeXuControl &fake = unit.controls.at(std::uint8_t(c.selector));
        const QByteArray row(c.name);
        QVERIFY2(fake.value.size() == c.length, row);
        QVERIFY2(fake.info == c.access, row);  // GET_INFO bit 0 Get, bit 1 Set
        if (c.kind != ControlKind::Record && c.kind != ControlKind::Command)
            QVERIFY2(fake.defaultValue == std::vector<std::uint8_t>{c.simDefault}, row);
        // bmControls announces selector N with bit N - 1.
        QVERIFY2(unit.bmControls[std::size_t(c.selector - 1) / 8] & (1u << ((c.selector - 1) % 8)), row);
    }
}

void VendorTableWitnessesTest::fakeKernelReadPassAgrees()
{
    const std::vector<int> &fake = readPassSelectors();
    std::set<int> witnessed(fake.begin(), fake.end());
    std::set<int> described;
    for (const VendorControl *c : readPass())
        described.insert(c->selector);
    QCOMPARE(witnessed, described);
    QCOMPARE(fake.size(), readPass().size());
}

QTEST_MAIN(VendorTableWitnessesTest)
#include "tst_vendor_table_witnesses.moc"
