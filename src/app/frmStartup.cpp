#include "app/frmStartup.h"

#include "app/Startup.h"
#include "ui/DialogUtils.h"
#include "ui/Fonts.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace zelmora {

frmStartup::frmStartup(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmStartup"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(ui::japaneseUiFont(9));

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("QFrame { background: #1f4e79; color: white; }"
                                        "QLabel { background: transparent; color: white; }"));
    auto* name = ui::makeDialogLabel(QStringLiteral("lblProduct"), QStringLiteral("ゼルモラ"), frame);
    name->setFont(ui::japaneseUiFont(28));
    auto* latin = ui::makeDialogLabel(QStringLiteral("lblLatinName"), QStringLiteral("Zelmora"), frame);
    latin->setFont(ui::japaneseUiFont(12));
    auto* subtitle = ui::makeDialogLabel(QStringLiteral("lblSubtitle"),
                                         QStringLiteral("サイボウズ Office 4 行先・通知ツール"), frame);
    m_lblVersion = ui::makeDialogLabel(
        QStringLiteral("lblVersion"),
        versionLabelText(ZELMORA_VERSION_MAJOR, ZELMORA_VERSION_MINOR, ZELMORA_VERSION_PATCH), frame);
    auto* starting = ui::makeDialogLabel(QStringLiteral("lblStarting"), QStringLiteral("起動しています..."), frame);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(36, 28, 36, 20);
    inner->addWidget(name);
    inner->addWidget(latin);
    inner->addSpacing(8);
    inner->addWidget(subtitle);
    inner->addStretch(1);
    inner->addWidget(m_lblVersion);
    inner->addWidget(starting);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    setFixedSize(420, 240);
    ui::centerOnScreen(this);
}

frmStartup::~frmStartup() = default;

} // namespace zelmora
