#include "pages/binding/setting_mark.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWidget>

#include "document/setting_reference.h"
#include "schema/setting_values.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

// The control's own menu, where it has one, with the setting's items below.
QMenu *MenuFor(QWidget *control)
{
    if (auto *line = qobject_cast<QLineEdit *>(control))
        return line->createStandardContextMenu();
    if (auto *text = qobject_cast<QPlainTextEdit *>(control))
        return text->createStandardContextMenu();
    return new QMenu(control);
}

} // namespace

QString SettingControlName(const Setting &setting)
{
    const QString caption = qs(setting.caption);
    const qsizetype slash = caption.lastIndexOf(QStringLiteral(" / "));
    return slash < 0 ? caption : caption.mid(slash + 3);
}

QString SettingToolTip(const Setting &setting)
{
    QString tip = qs(setting.key);
    if (HasFactoryValue(setting))
        tip += QStringLiteral("\nFactory value: ") +
               qs(SettingValue(setting, FactoryConfiguration(), ValueForm::Shown));
    tip += QStringLiteral("\nAllowed: ") + qs(AllowedValues(setting, ValueSource::User));
    return tip;
}

SettingMark::SettingMark(QWidget *control, const Setting &setting, ConfigDocument &document, Naming naming)
    : QObject(control), document_(document), shown_(&setting)
{
    setObjectName(QStringLiteral("settingMark"));
    showable_.emplace_back(&setting, nullptr);
    // A button is named by its own words. A group box inside a titled
    // frame would be named by the frame: it is named by its own title.
    auto *box = qobject_cast<QGroupBox *>(control);
    if (box && !box->title().isEmpty())
        announceByTitle(box);
    else if (box)
        box->setAccessibleName(SettingControlName(setting));
    else if (!qobject_cast<QAbstractButton *>(control) && naming == Naming::BySetting)
        control->setAccessibleName(SettingControlName(setting));
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this, &SettingMark::openMenu);
    explain();
}

QWidget *SettingMark::control() const
{
    return static_cast<QWidget *>(parent());
}

SettingMark *SettingMark::of(const QWidget *control)
{
    return control ? control->findChild<SettingMark *>(QStringLiteral("settingMark"), Qt::FindDirectChildrenOnly)
                   : nullptr;
}

void SettingMark::addShowable(const Setting &setting, std::function<void()> reveal)
{
    showable_.emplace_back(&setting, std::move(reveal));
}

void SettingMark::show(const Setting &setting)
{
    if (shown_ == &setting)
        return;
    shown_ = &setting;
    explain();
}

bool SettingMark::covers(const Setting &setting) const
{
    return std::any_of(showable_.begin(), showable_.end(), [&](const auto &entry) { return entry.first == &setting; });
}

void SettingMark::reveal(const Setting &setting) const
{
    for (const auto &[candidate, bringIn] : showable_) {
        if (candidate == &setting && bringIn)
            bringIn();
    }
}

void SettingMark::explain()
{
    control()->setToolTip(SettingToolTip(*shown_));
}

QMenu *SettingMark::createMenu()
{
    QMenu *menu = MenuFor(control());
    if (!menu->isEmpty())
        menu->addSeparator();
    const Setting &setting = *shown_;
    QAction *reset = menu->addAction(QStringLiteral("Reset to Factory Value"));
    reset->setObjectName(QStringLiteral("resetToFactoryValue"));
    reset->setEnabled(HasFactoryValue(setting) && SettingDiffers(setting, document_.config(), FactoryConfiguration()));
    connect(reset, &QAction::triggered, this, [this, &setting] { ResetToFactoryValue(document_, setting); });
    QAction *copy = menu->addAction(QStringLiteral("Copy Key"));
    copy->setObjectName(QStringLiteral("copyKey"));
    connect(copy, &QAction::triggered, this, [&setting] { QGuiApplication::clipboard()->setText(qs(setting.key)); });
    return menu;
}

void SettingMark::openMenu(const QPoint &where)
{
    QMenu *menu = createMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(control()->mapToGlobal(where));
}

} // namespace q51
