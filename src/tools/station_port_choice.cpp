#include "tools/station_port_choice.h"

#include <QCheckBox>
#include <QListWidget>
#include <QSet>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "link/port_names.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

constexpr int ComPorts = 4;
constexpr int VisibleRows = 4;
enum Role { ComNumberRole = Qt::UserRole, DeviceRole };

const DetectedPort *findDetected(const QList<DetectedPort> &detected, const QString &device)
{
    for (const DetectedPort &port : detected) {
        if (port.device == device || (!port.byIdName.isEmpty() && port.byIdName == device))
            return &port;
    }
    return nullptr;
}

} // namespace

StationPortChoice::StationPortChoice(QWidget *parent) : QGroupBox(QStringLiteral("Ports"), parent)
{
    setObjectName(QStringLiteral("fraStationPorts"));
    announceByTitle(this);
    auto *layout = new QVBoxLayout(this);
    list_ = named(new QListWidget(this), "lstStationPorts");
    list_->setAccessibleName(QStringLiteral("Ports the station watches"));
    list_->setMinimumHeight(
        std::max(list_->minimumSizeHint().height(), list_->fontMetrics().height() * VisibleRows + 2 * list_->frameWidth()));
    allDetected_ = named(new QCheckBox(QStringLiteral("All &detected ports"), this), "chkStationAllDetected");
    allDetected_->setChecked(true);
    layout->addWidget(list_, 1);
    layout->addWidget(allDetected_);
    connect(allDetected_, &QCheckBox::toggled, this, [this] {
        fill();
        emit changed();
    });
    connect(list_, &QListWidget::itemChanged, this, &StationPortChoice::changed);
    refresh();
}

void StationPortChoice::refresh()
{
    const QList<DetectedPort> detected = CurrentPortCatalogue().detect();
    if (detected == detected_ && list_->count() > 0)
        return;
    detected_ = detected;
    fill();
    emit changed();
}

void StationPortChoice::fill()
{
    QSet<QString> ticked;
    for (int i = 0; i < list_->count(); ++i) {
        const QListWidgetItem *item = list_->item(i);
        if (item->checkState() == Qt::Checked)
            ticked << item->data(DeviceRole).toString() + QLatin1Char('#') + item->data(ComNumberRole).toString();
    }
    const QSignalBlocker blocker(list_);
    list_->clear();
    const auto add = [this, &ticked](const QString &text, int number, const QString &device, bool forced) {
        auto *item = new QListWidgetItem(text, list_);
        item->setData(ComNumberRole, number);
        item->setData(DeviceRole, device);
        const bool was = ticked.contains(device + QLatin1Char('#') + QString::number(number));
        item->setCheckState(forced || was ? Qt::Checked : Qt::Unchecked);
        if (forced)
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable & ~Qt::ItemIsEnabled);
    };
    for (int n = 1; n <= ComPorts; ++n)
        add(QStringLiteral("Com %1: %2").arg(n).arg(DescribeComDevice(n, ComDeviceFor(n, detected_), detected_)), n,
            QString(), false);
    for (const DetectedPort &port : AdaptersInOrder(detected_))
        add(DescribeDetectedPort(port), 0, port.device, allDetected_->isChecked());
}

std::vector<StationPortTarget> StationPortChoice::targets() const
{
    std::vector<StationPortTarget> out;
    QSet<QString> devices;
    for (int i = 0; i < list_->count(); ++i) {
        const QListWidgetItem *item = list_->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        StationPortTarget target;
        target.device = item->data(DeviceRole).toString();
        // A device stands in for Com 1, as on the command line, so what the
        // link says of it never names a "Com 0".
        target.number = target.device.isEmpty() ? item->data(ComNumberRole).toInt() : 1;
        // Com n opens whatever it stands for when the station starts.
        const QString opened = target.device.isEmpty() ? ComDeviceFor(target.number, detected_).device : target.device;
        if (devices.contains(opened))
            continue; // two ticks on one device would fight over it
        devices << opened;
        target.name = target.device.isEmpty() ? QStringLiteral("COM %1").arg(target.number) : target.device;
        if (const DetectedPort *port = findDetected(detected_, opened))
            target.adapterSerial = port->serialNumber;
        out.push_back(target);
    }
    return out;
}

void StationPortChoice::showEvent(QShowEvent *event)
{
    QGroupBox::showEvent(event);
    refresh();
    watch_ = std::make_unique<PortWatchSubscription>(CurrentPortWatch(), this, [this] { refresh(); });
}

void StationPortChoice::hideEvent(QHideEvent *event)
{
    watch_.reset();
    QGroupBox::hideEvent(event);
}

} // namespace q51
