#include "tools/find_decoder_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "link/decoder_detect_texts.h"
#include "link/link_settings_choices.h"
#include "model/configuration.h"
#include "tools/choices_group.h"
#include "tools/port_device_picker.h"
#include "tools/port_reopen_dialog.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

constexpr const char *WindowCaption = "Find Decoder";
constexpr const char *Heading = "Asks for the firmware version at every baud rate a decoder can be set to.";
constexpr const char *FindButton = "Find";
constexpr const char *UseButton = "Use These Settings";
constexpr const char *CloseButton = "Close";
constexpr const char *ProbesName = "Settings tried";

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

FindDecoderWindow::FindDecoderWindow(Configuration &config, UserDialogs &dialogs, const TransportFactory &makePort,
                                     QWidget *parent)
    : QDialog(parent), config_(config), dialogs_(dialogs), port_(*this, dialogs, makePort)
{
    setObjectName(QStringLiteral("frmFindDecoder"));
    setWindowTitle(text(WindowCaption));
    port_.onEnd = [this] { stopSearch(); };
    buildControls();
}

FindDecoderWindow::~FindDecoderWindow()
{
    port_.end();
}

void FindDecoderWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(named(new QLabel(text(Heading), this), "lblHeading"));

    auto *row = new QHBoxLayout;
    const LinkChoiceGroup &ports = LinkChoiceGroupFor(LinkSetting::Port);
    QStringList portOptions;
    for (const char *option : ports.options)
        portOptions << text(option);
    portChoice_ = new ChoicesGroup(text(ports.caption), text(ports.controlName), portOptions,
                                   StoredLinkChoice(config_, LinkSetting::Port).value_or(-1), this);
    portChoice_->setObjectName(text(ports.frameName));
    devices_ = new PortDevicePicker(config_, portChoice_, this);
    row->addWidget(portChoice_);
    row->addWidget(devices_, 1);
    layout->addLayout(row);

    auto *buttons = new QHBoxLayout;
    find_ = named(new QPushButton(text(FindButton), this), "cmdFind");
    use_ = named(new QPushButton(text(UseButton), this), "cmdUse");
    close_ = named(new QPushButton(text(CloseButton), this), "cmdClose");
    use_->setEnabled(false);
    for (QPushButton *button : {find_, use_, close_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);

    progress_ = named(new QProgressBar(this), "prgSearch");
    progress_->setValue(0);
    layout->addWidget(progress_);
    probes_ = named(new QPlainTextEdit(this), "txtProbes");
    probes_->setReadOnly(true);
    probes_->setAccessibleName(text(ProbesName));
    layout->addWidget(probes_, 1);

    portChoice_->onChosen = [this](int index) {
        ApplyLinkChoice(config_, LinkSetting::Port, index);
        devices_->refresh();
        // What was found belongs to the port searched.
        found_.reset();
        use_->setEnabled(false);
    };
    connect(find_, &QPushButton::clicked, this, &FindDecoderWindow::find);
    connect(use_, &QPushButton::clicked, this, &FindDecoderWindow::useSettings);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

void FindDecoderWindow::find()
{
    if (searching())
        return;
    const std::vector<DetectProbe> plan = DetectPlan();
    probes_->clear();
    found_.reset();
    searchedPort_ = config_.PortNumber;
    setSearching(true);
    // Opened as every window opens its port, so a port that is not there
    // is told as it always is.
    if (plan.empty() || !port_.open(plan.front().settings, searchedPort_)) {
        setSearching(false);
        return;
    }
    progress_->setRange(0, int(plan.size()));
    progress_->setValue(0);
    search_.emplace(DetectDecoder(*port_.transport(), searchedPort_,
                                  [this](const ProbeResult &probe, std::size_t done, std::size_t count) {
                                      onProbe(probe, done, count);
                                  }));
    // Taken up from the event loop: the task must not be let go of from
    // inside its own ending.
    search_->start([this] { QTimer::singleShot(0, this, &FindDecoderWindow::onSearchEnded); });
}

void FindDecoderWindow::onProbe(const ProbeResult &probe, std::size_t done, std::size_t count)
{
    appendText(probes_, ProbeLine(probe) + QLatin1Char('\n'));
    progress_->setMaximum(int(count));
    progress_->setValue(int(done));
}

void FindDecoderWindow::onSearchEnded()
{
    if (!search_ || !search_->done())
        return;
    const DetectResult result = search_->result();
    search_.reset();
    port_.release();
    setSearching(false);
    QString advice = DetectAdvice(result);
    if (result.end == DetectEnd::Found) {
        const SerialSettings settings = result.answers().front().settings;
        if (OffersSerialLink(searchedPort_, settings)) {
            found_ = settings;
            use_->setEnabled(true);
            advice = QStringLiteral("\"%1\" makes them the transfer window's settings.").arg(text(UseButton));
        } else {
            advice = QStringLiteral("The transfer window offers no %1 baud. q51ctl talks at it with --settings %2, "
                                    "for example to download a configuration that sets a rate the window offers.")
                         .arg(settings.baudRate)
                         .arg(serialSettingsText(settings));
        }
    }
    // Wrapped by the box, where a label that wraps would leave the window no
    // minimum size to open at.
    appendText(probes_, QLatin1Char('\n') + DetectSummary(result) + QLatin1Char('\n') + advice);
    emit searchEnded();
    // Last: the box runs its own event loop.
    if (result.end == DetectEnd::PortUnavailable)
        tellPortNotAvailable(dialogs_, searchedPort_, result.problem);
}

void FindDecoderWindow::useSettings()
{
    if (!found_ || !ChooseSerialLink(config_, searchedPort_, *found_))
        return;
    appendText(probes_, QStringLiteral("\nThe transfer window now uses %1 on Com %2.")
                            .arg(serialSettingsText(*found_))
                            .arg(searchedPort_));
    found_.reset();
    use_->setEnabled(false);
}

void FindDecoderWindow::stopSearch()
{
    if (!search_)
        return;
    search_.reset(); // stops where it waits: its exchange ends silently
    setSearching(false);
}

void FindDecoderWindow::setSearching(bool searching)
{
    find_->setEnabled(!searching);
    portChoice_->setEnabled(!searching);
    if (searching)
        use_->setEnabled(false);
}

void FindDecoderWindow::done(int result)
{
    port_.end();
    QDialog::done(result);
}

} // namespace q51
