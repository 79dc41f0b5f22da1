#include "tools/station_setup.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>

#include "files/config_file_damage.h"
#include "files/config_file_io.h"
#include "link/firmware_image.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

constexpr const char *MessageTitle = "Station";
constexpr const char *DefaultSettings = "9600,N,8,1";

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

StationSetup::StationSetup(UserDialogs &dialogs, QWidget *parent)
    : QGroupBox(QStringLiteral("Setup"), parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("fraStationSetup"));
    announceByTitle(this);
    auto *grid = new QGridLayout(this);
    const auto field = [this, grid](int row, int column, const char *caption, const char *name) {
        auto *edit = named(new QLineEdit(this), name);
        auto *label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(edit);
        grid->addWidget(label, row, column);
        grid->addWidget(edit, row, column + 1);
        return edit;
    };
    const auto browse = [this, grid](int row, int column, const char *name, const char *accessible) {
        auto *button = named(new QPushButton(QStringLiteral("Browse..."), this), name);
        button->setAccessibleName(QString::fromUtf8(accessible));
        button->setAutoDefault(false);
        grid->addWidget(button, row, column);
        return button;
    };
    golden_ = field(0, 0, "&Golden file:", "txtStationGolden");
    QPushButton *goldenBrowse = browse(0, 2, "cmdStationGoldenBrowse", "Browse for the golden file");
    operator_ = field(0, 3, "&Operator:", "txtStationOperator");
    firmware_ = field(1, 0, "&Firmware image:", "txtStationFirmware");
    QPushButton *firmwareBrowse = browse(1, 2, "cmdStationFirmwareBrowse", "Browse for the firmware image");
    firmwareVersion_ = field(1, 3, "Its &version:", "txtStationFirmwareVersion");
    records_ = field(2, 0, "&Records:", "txtStationRecords");
    records_->setPlaceholderText(QStringLiteral("records.sqlite in your data folder, or postgresql://host/database"));
    settings_ = field(2, 3, "Se&ttings:", "txtStationSettings");
    settings_->setText(QString::fromLatin1(DefaultSettings));
    firmware_->setPlaceholderText(QStringLiteral("none: firmware left as it is"));
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(4, 1);

    connect(goldenBrowse, &QPushButton::clicked, this, &StationSetup::browseGolden);
    connect(firmwareBrowse, &QPushButton::clicked, this, &StationSetup::browseFirmware);
    connect(golden_, &QLineEdit::editingFinished, this, [this] {
        if (golden_->isModified() && !golden_->text().trimmed().isEmpty())
            (void)readGolden();
        golden_->setModified(false);
    });
}

void StationSetup::refuse(const QString &text, const QString &detail)
{
    dialogs_.tell(QString::fromLatin1(MessageTitle), text, MessageIcon::Warning, detail);
}

std::optional<Configuration> StationSetup::readGolden()
{
    const QString path = golden_->text().trimmed();
    if (path.isEmpty()) {
        refuse(QStringLiteral("Choose the golden configuration file before starting the station."));
        return std::nullopt;
    }
    Configuration golden;
    std::vector<SkippedLine> skipped;
    if (!ReadConfigurationFile(path, golden, &skipped)) {
        refuse(QStringLiteral("\"%1\" cannot be used as the golden configuration: it cannot be read or is not a "
                              "configuration file.")
                   .arg(shown(path)),
               QStringLiteral("Choose a configuration file (*.cfg) saved by this program."));
        return std::nullopt;
    }
    // Every unit gets this block: one made up partly of defaults is no golden one.
    if (!skipped.empty()) {
        refuse(QStringLiteral("\"%1\" cannot be used as the golden configuration: some of its lines are missing "
                              "or unusable. Open it, check it and save it again, or choose another file.")
                   .arg(shown(path)),
               DescribeSkippedLines(skipped).join(QLatin1Char('\n')));
        return std::nullopt;
    }
    StationPlan shownPlan;
    shownPlan.golden = golden;
    emit goldenRead(QFileInfo(path).fileName(), BlockDigest(GoldenBlock(shownPlan)));
    return golden;
}

bool StationSetup::readFirmware(StationPlan &plan)
{
    const QString path = firmware_->text().trimmed();
    if (path.isEmpty())
        return true;
    const FirmwareImage image = LoadFirmwareImage(path);
    if (image.problem == FirmwareImage::Problem::CannotOpen) {
        refuse(QStringLiteral("The firmware image \"%1\" cannot be read.").arg(shown(path)),
               QStringLiteral("Choose another image, or empty the firmware field to leave each unit's firmware as "
                              "it is."));
        return false;
    }
    if (image.problem == FirmwareImage::Problem::TooLarge) {
        refuse(QStringLiteral("\"%1\" is too large to be a decoder's firmware image.").arg(shown(path)));
        return false;
    }
    const QString version = firmwareVersion_->text().trimmed();
    if (version.isEmpty()) {
        refuse(QStringLiteral("Type the version text the firmware image brings, so the station can tell which "
                              "units need it."));
        return false;
    }
    plan.firmware = image.bytes;
    plan.firmwareVersion = version;
    return true;
}

QString StationSetup::records() const
{
    return records_->text().trimmed();
}

std::optional<StationPlan> StationSetup::plan()
{
    StationPlan plan;
    const std::optional<Configuration> golden = readGolden();
    if (!golden)
        return std::nullopt;
    plan.golden = *golden;
    plan.goldenName = QFileInfo(golden_->text().trimmed()).fileName();
    if (!readFirmware(plan))
        return std::nullopt;
    QString problem;
    const std::optional<SerialSettings> settings = parseSerialSettings(settings_->text().trimmed(), &problem);
    if (!settings) {
        refuse(QStringLiteral("The settings \"%1\" cannot be used: %2").arg(settings_->text(), problem),
               QStringLiteral("Write them as %1.").arg(QString::fromLatin1(DefaultSettings)));
        return std::nullopt;
    }
    plan.settings = *settings;
    plan.operatorName = operator_->text().trimmed();
    if (plan.operatorName.isEmpty()) {
        refuse(QStringLiteral("Type the operator's name before starting: every unit's record names who ran the "
                              "station."));
        return std::nullopt;
    }
    plan.stationName = QSysInfo::machineHostName();
    return plan;
}

void StationSetup::browseGolden()
{
    const QString path = dialogs_.openFileName(
        {QStringLiteral("Golden Configuration"), QStringLiteral("Config Setup Files(*.cfg)"), QStringLiteral("cfg"), {}});
    if (path.isEmpty())
        return;
    golden_->setText(path);
    (void)readGolden();
}

void StationSetup::browseFirmware()
{
    const QString path = dialogs_.openFileName(
        {QStringLiteral("Firmware Image"), QStringLiteral("Firmware Files(*.bin)"), QStringLiteral("bin"), {}});
    if (!path.isEmpty())
        firmware_->setText(path);
}

} // namespace q51
