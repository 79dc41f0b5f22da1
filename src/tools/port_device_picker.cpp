#include "tools/port_device_picker.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "link/port_names.h"
#include "model/configuration.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

constexpr int ComPorts = 4;
constexpr int MinimumDeviceChars = 16; // "/dev/ttyUSB0" and a little

QString comName(int portNumber)
{
    return QStringLiteral("Com %1").arg(portNumber);
}

} // namespace

PortDevicePicker::PortDevicePicker(const Configuration &config, QWidget *portChoice, QWidget *parent)
    : QGroupBox(QStringLiteral("Devices"), parent), config_(config), portChoice_(portChoice)
{
    setObjectName(QStringLiteral("fraPortDevice"));
    auto *layout = new QFormLayout(this);
    for (int n = 1; n <= ComPorts; ++n) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblComDevice_%1").arg(n - 1));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addRow(comName(n) + QLatin1Char(':'), label);
        comLabels_ << label;
    }
    boxLabel_ = named(new QLabel(this), "lblPortDevice");
    device_ = named(new QComboBox(this), "cboPortDevice");
    device_->setEditable(true);
    device_->setInsertPolicy(QComboBox::NoInsert);
    // Narrower than its longest entry, so the box fits beside other boxes;
    // the list it opens is as wide as its entries.
    device_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    device_->setMinimumContentsLength(MinimumDeviceChars);
    boxLabel_->setBuddy(device_);
    layout->addRow(boxLabel_, device_);

    connect(device_, &QComboBox::activated, this,
            [this](int index) { pick(device_->itemData(index).toString()); });
    connect(device_->lineEdit(), &QLineEdit::returnPressed, this, &PortDevicePicker::pickTyped);

    if (portChoice_) {
        portChoice_->installEventFilter(this);
        setEnabled(portChoice_->isEnabled());
    }
    refresh();
}

void PortDevicePicker::refresh()
{
    const QList<DetectedPort> detected = CurrentPortCatalogue().detect();
    for (int n = 1; n <= ComPorts; ++n)
        comLabels_[n - 1]->setText(DescribeComDevice(n, ComDeviceFor(n, detected), detected));
    const int portNumber = config_.PortNumber;
    if (detected == detected_ && portNumber == filledFor_)
        return; // the box as the user left it, popup and typing included
    detected_ = detected;
    filledFor_ = portNumber;
    fillDeviceBox();
}

void PortDevicePicker::fillDeviceBox()
{
    const bool comNumber = filledFor_ >= 1 && filledFor_ <= ComPorts;
    const QString caption = comNumber ? QStringLiteral("Device for %1:").arg(comName(filledFor_))
                                      : QStringLiteral("Device:");
    boxLabel_->setText(caption);
    device_->setAccessibleName(caption.chopped(1));
    device_->lineEdit()->setAccessibleName(device_->accessibleName()); // where a typed path goes
    device_->setEnabled(comNumber);

    const QSignalBlocker blocker(device_);
    const QString typing = device_->lineEdit()->hasFocus() ? device_->currentText() : QString();
    device_->clear();
    if (!comNumber)
        return;
    // First the usual mapping, so a pick can be taken back.
    const ComDevice usual = UsualComDeviceFor(filledFor_, detected_);
    device_->addItem(QStringLiteral("Usual: %1").arg(DescribeComDevice(filledFor_, usual, detected_)), QString());
    for (const DetectedPort &port : detected_)
        device_->addItem(DescribeDetectedPort(port), port.device);

    const QString picked = PickedDeviceForPort(filledFor_);
    const int index = device_->findData(picked);
    if (!typing.isEmpty())
        device_->setEditText(typing);
    else if (index >= 0)
        device_->setCurrentIndex(index);
    else
        device_->setEditText(picked); // a typed path, not among the detected ports
}

void PortDevicePicker::pick(const QString &device)
{
    PickDeviceForPort(filledFor_, device);
    filledFor_ = 0; // fill the box anew for the new pick
    refresh();
    if (onPicked)
        onPicked();
}

void PortDevicePicker::pickTyped()
{
    const QString typed = device_->currentText().trimmed();
    const int listed = device_->findText(typed);
    pick(listed >= 0 ? device_->itemData(listed).toString() : typed);
}

void PortDevicePicker::showEvent(QShowEvent *event)
{
    QGroupBox::showEvent(event);
    refresh();
    watch_ = std::make_unique<PortWatchSubscription>(CurrentPortWatch(), this, [this] { refresh(); });
}

void PortDevicePicker::hideEvent(QHideEvent *event)
{
    watch_.reset();
    QGroupBox::hideEvent(event);
}

bool PortDevicePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == portChoice_ && event->type() == QEvent::EnabledChange)
        setEnabled(portChoice_->isEnabled());
    return QGroupBox::eventFilter(watched, event);
}

} // namespace q51
