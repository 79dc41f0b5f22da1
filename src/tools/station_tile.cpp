#include "tools/station_tile.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "tools/station_texts.h"

namespace q51 {

namespace {

const char *const FullText = "fullText";

QColor stateColour(StationPortState state)
{
    switch (state) {
    case StationPortState::Passed: return QColor(0x1b, 0x7a, 0x1b);
    case StationPortState::Failed:
    case StationPortState::NoPort: return QColor(0xc0, 0x10, 0x10);
    default: return QApplication::palette().color(QPalette::WindowText);
    }
}

// A line that may be longer than the tile: cut with an ellipsis to the
// width it has, the whole of it in the tool tip.
QLabel *lineLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

QString tileName(const StationPortStatus &status)
{
    QString name = status.target.name + QStringLiteral(": ") + StationStateWord(status.state);
    if (status.state == StationPortState::Working || status.state == StationPortState::Failed)
        name += QStringLiteral(", ") + UnitStepText(status.step);
    if (!status.version.isEmpty())
        name += QStringLiteral(", version ") + status.version;
    return name;
}

} // namespace

StationTile::StationTile(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fraStationTile"));
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    port_ = lineLabel(this, "lblTilePort");
    QFont bold = port_->font();
    bold.setBold(true);
    port_->setFont(bold);
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("lblTileState"));
    QFont large = QApplication::font();
    large.setPointSizeF(large.pointSizeF() * StateScale);
    large.setBold(true);
    state_->setFont(large);
    // As wide as the widest word, so a tile does not jump as its state changes.
    int widest = 0;
    for (const QString &word : StationStateWords())
        widest = std::max(widest, state_->fontMetrics().horizontalAdvance(word));
    state_->setMinimumWidth(widest + 2 * state_->margin() + 2);
    detail_ = lineLabel(this, "lblTileDetail");
    version_ = lineLabel(this, "lblTileVersion");
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgTileStep"));
    QSizePolicy keep = progress_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    progress_->setSizePolicy(keep);
    progress_->hide();
    for (QWidget *w : {static_cast<QWidget *>(port_), static_cast<QWidget *>(state_),
                       static_cast<QWidget *>(detail_), static_cast<QWidget *>(version_),
                       static_cast<QWidget *>(progress_)})
        layout->addWidget(w);
    layout->addStretch();
}

void StationTile::showReady(const StationPortTarget &target)
{
    StationPortStatus status;
    status.target = target;
    showStatus(status);
    setWord(QString::fromLatin1(StationReadyWord), stateColour(StationPortState::Waiting));
    setLine(detail_, QStringLiteral("Not started"));
    setAccessibleName(target.name + QStringLiteral(": ") + QString::fromLatin1(StationReadyWord));
    setAccessibleDescription(target.name + QStringLiteral(": the station is not started."));
}

void StationTile::showStatus(const StationPortStatus &status)
{
    setLine(port_, status.target.name);
    setWord(StationStateWord(status.state), stateColour(status.state));
    setLine(detail_, StationStateDetail(status));
    setLine(version_, status.version.isEmpty() ? QString() : QStringLiteral("Version ") + status.version);
    const bool working = status.state == StationPortState::Working && status.total > 0;
    progress_->setVisible(working);
    progress_->setAccessibleName(QStringLiteral("Progress on ") + status.target.name);
    if (working) {
        progress_->setRange(0, int(status.total));
        progress_->setValue(int(std::min(status.done, status.total)));
    }
    setAccessibleName(tileName(status));
    setAccessibleDescription(StationTileDescription(status));
}

void StationTile::setWord(const QString &word, const QColor &colour)
{
    state_->setText(word);
    QPalette palette = state_->palette();
    palette.setColor(QPalette::WindowText, colour);
    state_->setPalette(palette);
}

void StationTile::setLine(QLabel *label, const QString &text)
{
    label->setProperty(FullText, text);
    label->setToolTip(text);
    fitLines();
}

void StationTile::fitLines()
{
    for (QLabel *label : {port_, detail_, version_}) {
        const QString full = label->property(FullText).toString();
        label->setText(label->fontMetrics().elidedText(full, Qt::ElideRight, std::max(label->width(), 1)));
    }
}

void StationTile::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    fitLines();
}

} // namespace q51
