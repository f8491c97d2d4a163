#include "properties/PropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

using vidorra::ControlInfo;
using vidorra::Status;

namespace {

constexpr std::uint32_t kNotSettable = ControlInfo::Inactive | ControlInfo::ReadOnly | ControlInfo::Disabled;

QString pageTitle(ControlInfo::Page page)
{
    return page == ControlInfo::Page::VideoProcAmp ? QStringLiteral("Video Proc Amp")
                                                   : QStringLiteral("Camera Control");
}

QString controlObjectName(const char *kind, std::uint32_t id)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(kind)).arg(id);
}

}  // namespace

PropertiesDialog::PropertiesDialog(std::shared_ptr<vidorra::CaptureHandle> handle,
                                   const std::vector<ControlInfo> &controls, QWidget *parent)
    : QDialog(parent), device(std::move(handle))
{
    setWindowTitle(QStringLiteral("Properties"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    rows.reserve(controls.size());
    for (const ControlInfo::Page page : {ControlInfo::Page::VideoProcAmp, ControlInfo::Page::CameraControl}) {
        const bool used = std::any_of(controls.begin(), controls.end(), [page](const ControlInfo &c) {
            return c.page == page && !(c.flags & ControlInfo::Disabled);
        });
        if (!used)
            continue;
        QWidget *widget = new QWidget(tabs);
        auto *pageLayout = new QVBoxLayout(widget);
        auto *grid = new QGridLayout;
        pageLayout->addLayout(grid);
        for (const ControlInfo &c : controls)
            if (c.page == page && !(c.flags & ControlInfo::Disabled))
                addRow(widget, grid, c);
        pageLayout->addStretch();
        auto *defaults = new QHBoxLayout;
        defaults->addStretch();
        auto *defaultButton = new QPushButton(QStringLiteral("Default"), widget);
        defaultButton->setObjectName(page == ControlInfo::Page::VideoProcAmp ? QStringLiteral("default_VideoProcAmp")
                                                                             : QStringLiteral("default_CameraControl"));
        connect(defaultButton, &QPushButton::clicked, this, [this, page] { restoreDefaults(page); });
        defaults->addWidget(defaultButton);
        pageLayout->addLayout(defaults);
        tabs->addTab(widget, pageTitle(page));
    }
    layout->addWidget(tabs);

    message = new QLabel(this);
    message->setObjectName(QStringLiteral("message"));
    layout->addWidget(message);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    refresh();
    move(30, 30);
}

void PropertiesDialog::addRow(QWidget *page, QGridLayout *grid, const ControlInfo &info)
{
    const std::size_t index = rows.size();
    const int line = grid->rowCount();
    Row row;
    row.info = info;
    const QString name = QString::fromStdString(info.name);
    row.label = new QLabel(name, page);
    grid->addWidget(row.label, line, 0);

    switch (info.type) {
    case ControlInfo::Type::Integer:
        row.slider = new QSlider(Qt::Horizontal, page);
        row.slider->setObjectName(controlObjectName("control", info.id));
        row.slider->setAccessibleName(name);
        row.slider->setRange(info.minimum, info.maximum);
        row.slider->setSingleStep(std::max(1, info.step));
        row.spin = new QSpinBox(page);
        row.spin->setObjectName(controlObjectName("value", info.id));
        row.spin->setRange(info.minimum, info.maximum);
        row.spin->setSingleStep(std::max(1, info.step));
        grid->addWidget(row.slider, line, 1);
        grid->addWidget(row.spin, line, 2);
        connect(row.slider, &QSlider::valueChanged, this, [this, index](int value) {
            const QSignalBlocker blocker(rows[index].spin);
            rows[index].spin->setValue(value);
            apply(index, value);
        });
        connect(row.spin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, index](int value) {
            const QSignalBlocker blocker(rows[index].slider);
            rows[index].slider->setValue(value);
            apply(index, value);
        });
        break;
    case ControlInfo::Type::Boolean:
        row.check = new QCheckBox(name, page);
        row.check->setObjectName(controlObjectName("control", info.id));
        row.label->setText(QString());
        grid->addWidget(row.check, line, 1, 1, 2);
        connect(row.check, &QCheckBox::toggled, this, [this, index](bool on) { apply(index, on ? 1 : 0); });
        break;
    case ControlInfo::Type::Menu:
        row.menu = new QComboBox(page);
        row.menu->setObjectName(controlObjectName("control", info.id));
        row.menu->setAccessibleName(name);
        for (const auto &item : info.menuItems)
            row.menu->addItem(QString::fromStdString(item.second), item.first);
        grid->addWidget(row.menu, line, 1, 1, 2);
        connect(row.menu, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this, index](int item) {
            if (item >= 0)
                apply(index, rows[index].menu->itemData(item).toInt());
        });
        break;
    case ControlInfo::Type::Button:
        row.button = new QPushButton(name, page);
        row.button->setObjectName(controlObjectName("control", info.id));
        row.label->setText(QString());
        grid->addWidget(row.button, line, 1, 1, 2);
        connect(row.button, &QPushButton::clicked, this, [this, index] { apply(index, 1); });
        break;
    }
    rows.push_back(row);
}

void PropertiesDialog::apply(std::size_t row, std::int32_t value)
{
    const Status result = device->setControl(rows[row].info.id, value);
    message->setText(vidorra::succeeded(result) ? QString() : QStringLiteral("The camera did not accept the change."));
    refresh();
}

void PropertiesDialog::restoreDefaults(ControlInfo::Page page)
{
    bool refused = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlInfo &info = rows[i].info;
        // Flags are current: each change is read back before the next one.
        if (info.page != page || info.type == ControlInfo::Type::Button || (info.flags & kNotSettable))
            continue;
        refused |= !vidorra::succeeded(device->setControl(info.id, info.defaultValue));
        refresh();
    }
    message->setText(refused ? QStringLiteral("The camera did not accept every default.") : QString());
}

void PropertiesDialog::refresh()
{
    std::vector<ControlInfo> current;
    if (!vidorra::succeeded(device->listControls(&current))) {
        message->setText(QStringLiteral("The camera does not answer."));
        for (Row &row : rows)
            showRow(row, false, false, 0);
        return;
    }
    for (Row &row : rows) {
        const auto found = std::find_if(current.begin(), current.end(),
                                        [&row](const ControlInfo &c) { return c.id == row.info.id; });
        if (found == current.end()) {
            showRow(row, false, false, 0);
            continue;
        }
        row.info.flags = found->flags;
        std::int32_t value = 0;
        const bool hasValue = row.info.type != ControlInfo::Type::Button &&
                              vidorra::succeeded(device->getControl(row.info.id, &value));
        showRow(row, !(found->flags & kNotSettable), hasValue, value);
    }
}

void PropertiesDialog::showRow(Row &row, bool enabled, bool hasValue, std::int32_t value)
{
    for (QWidget *editor : {static_cast<QWidget *>(row.slider), static_cast<QWidget *>(row.spin),
                            static_cast<QWidget *>(row.check), static_cast<QWidget *>(row.menu),
                            static_cast<QWidget *>(row.button)})
        if (editor)
            editor->setEnabled(enabled);
    if (!hasValue)
        return;
    if (row.slider) {
        const QSignalBlocker a(row.slider);
        const QSignalBlocker b(row.spin);
        row.slider->setValue(value);
        row.spin->setValue(value);
    }
    if (row.check) {
        const QSignalBlocker blocker(row.check);
        row.check->setChecked(value != 0);
    }
    if (row.menu) {
        const QSignalBlocker blocker(row.menu);
        row.menu->setCurrentIndex(row.menu->findData(value));
    }
}
