#include "app/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace q51 {

namespace {

// A decoder between a scanner and a host, drawn so no image file is needed.
QPixmap aboutPicture()
{
    QPixmap pixmap(96, 96);
    pixmap.fill(QColor(0xF4, 0xF6, 0xF8));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 2));
    p.setBrush(QColor(0x2E, 0x6D, 0xB4));
    p.drawRoundedRect(QRectF(18, 30, 60, 36), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 9; ++i) // bars
        p.drawRect(QRectF(26 + i * 5, 38, (i % 3) ? 2 : 3, 20));
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 3));
    p.drawLine(4, 48, 18, 48);
    p.drawLine(78, 48, 92, 48);
    return pixmap;
}

} // namespace

AboutBox::AboutBox(UserDialogs &dialogs,
                   std::function<bool(const QString &program, const QStringList &arguments)> startDetached,
                   QWidget *parent)
    : QDialog(parent), dialogs_(dialogs), platform_(NativeSystemInfoPlatform(std::move(startDetached)))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About This Software"));
    setModal(false);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(aboutPicture());
    picture->setAccessibleName(QStringLiteral("Decoder picture"));

    // A label shows "&&" as a literal "&" only when it reads mnemonics; keep
    // the stored text and render it the same way.
    auto *line1 = new QLabel(QString::fromUtf8(ProductLine).replace(QStringLiteral("&&"), QStringLiteral("&")), this);
    line1->setObjectName(QStringLiteral("Label1"));
    line1->setTextFormat(Qt::PlainText);
    auto *line2 = new QLabel(QString::fromUtf8(MakerNotice), this);
    line2->setObjectName(QStringLiteral("Label2"));
    line2->setWordWrap(true);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *sysInfo = new QPushButton(QStringLiteral("System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(platform_, dialogs_); });

    auto *text = new QVBoxLayout;
    text->addWidget(line1);
    text->addWidget(line2);
    text->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch();
    top->addLayout(buttons);
    setLayout(top);
}

} // namespace q51
