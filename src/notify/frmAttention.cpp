#include "notify/frmAttention.h"

#include "groupware/GroupwareSession.h"
#include "ui/Fonts.h"
#include "ui/HourglassCursor.h"
#include "ui/NoticeSound.h"
#include "ui/PlainText.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zelmora {

namespace {
constexpr int kButtonWidth = 1695;
constexpr int kButtonHeight = 375;
constexpr int kIconSize = 32;
} // namespace

frmAttention::frmAttention(const Settings& settings, const GroupwareSession& session, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_session(session) {
    setObjectName(QStringLiteral("frmAttention"));
    setWindowTitle(QStringLiteral("通知"));
    // Top-most without a minimise box, as a small notice that stays above the user's work.
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(ui::japaneseUiFont(9));
    createControls();
}

void frmAttention::createControls() {
    m_imgImage = new QLabel(this);
    m_imgImage->setObjectName(QStringLiteral("imgImage"));
    m_imgImage->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
    m_lblLabel = new QLabel(this);
    m_lblLabel->setObjectName(QStringLiteral("lblLabel"));
    ui::setPlainText(m_lblLabel, QStringLiteral("あなた宛にメッセージが届いています"));

    m_fraFrame = new QGroupBox(QStringLiteral("メッセージの種類"), this);
    m_fraFrame->setObjectName(QStringLiteral("fraFrame"));
    auto* boxes = new QVBoxLayout(m_fraFrame);
    const auto states = noticeBoxes(0, m_settings.connection);
    for (int i = 0; i < kNoticeBoxCount; ++i) {
        m_chkInformationType[i] = new QCheckBox(states[i].caption, m_fraFrame);
        m_chkInformationType[i]->setObjectName(QStringLiteral("chkInformationType(%1)").arg(i));
        boxes->addWidget(m_chkInformationType[i]);
    }

    m_cmdToCybozu = new QPushButton(QStringLiteral("ｻｲﾎﾞｳｽﾞOffice4へ"), this);
    m_cmdToCybozu->setObjectName(QStringLiteral("cmdToCybozu"));
    m_cmdToCybozu->setDefault(true);
    m_cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* button : {m_cmdToCybozu, m_cmdClose})
        button->setMinimumSize(ui::twipsToSize(kButtonWidth, kButtonHeight, this));

    auto* heading = new QHBoxLayout;
    heading->addWidget(m_imgImage, 0, Qt::AlignTop);
    heading->addWidget(m_lblLabel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdToCybozu);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(m_fraFrame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_cmdToCybozu, &QPushButton::clicked, this, &frmAttention::cmdToCybozu_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void frmAttention::Load() {
    const auto states = noticeBoxes(m_intInformationType, m_settings.connection);
    for (int i = 0; i < kNoticeBoxCount; ++i) {
        m_chkInformationType[i]->setEnabled(states[i].enabled);
        m_chkInformationType[i]->setChecked(states[i].ticked);
    }
    show();
    raise();
    ui::PlayNoticeSound(m_settings.user.ALARM_SOUNDFILE);
}

void frmAttention::cmdToCybozu_Click() {
    std::array<bool, kNoticeBoxCount> ticked{};
    for (int i = 0; i < kNoticeBoxCount; ++i)
        ticked[i] = m_chkInformationType[i]->isEnabled() && m_chkInformationType[i]->isChecked();
    const QString query = noticePageQuery(ticked, m_session.userId());
    if (!query.isEmpty() && m_pageOpener) {
        ui::HourglassCursor hourglass;
        m_pageOpener(
            PageRequest{1, m_settings.connection.programUrl + query, m_session.userId(), m_session.password()});
    }
    close();
}

} // namespace zelmora
