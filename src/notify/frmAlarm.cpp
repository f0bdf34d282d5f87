#include "notify/frmAlarm.h"

#include "core/Clock.h"
#include "ui/Fonts.h"
#include "ui/NoticeSound.h"
#include "ui/PlainText.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace zelmora {

namespace {
// Design of the window in twips: client area, message, icon and the two buttons side by side.
constexpr int kClientWidth = 4425;
constexpr int kClientHeight = 1980;
constexpr int kIconLeft = 240;
constexpr int kIconTop = 240;
constexpr int kLabelLeft = 960;
constexpr int kLabelTop = 240;
constexpr int kLabelWidth = 3135;
constexpr int kLabelHeight = 735;
constexpr int kButtonLefts[] = {600, 2400};
constexpr int kButtonTop = 1320;
constexpr int kButtonWidth = 1335;
constexpr int kButtonHeight = 495;
constexpr int kIconSize = 32;
} // namespace

frmAlarm::frmAlarm(QList<ScheduleItem>& schedule, const UserSettings& user, QWidget* parent)
    : QDialog(parent), m_schedule(schedule), m_user(user) {
    setObjectName(QStringLiteral("frmAlarm"));
    setWindowTitle(QStringLiteral("アラーム"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(ui::japaneseUiFont(9));
    createControls();
}

void frmAlarm::createControls() {
    m_imgImage = new QLabel(this);
    m_imgImage->setObjectName(QStringLiteral("imgImage"));
    m_imgImage->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kIconSize, kIconSize));
    m_lblSchedule = new QLabel(this);
    m_lblSchedule->setObjectName(QStringLiteral("lblSchedule"));
    m_lblSchedule->setWordWrap(true);
    m_lblSchedule->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cmdAlarmOn = new QPushButton(QStringLiteral("5分後に通知"), this);
    m_cmdAlarmOn->setObjectName(QStringLiteral("cmdAlarmOn"));
    m_cmdAlarmoff = new QPushButton(QStringLiteral("アラームを解除"), this);
    m_cmdAlarmoff->setObjectName(QStringLiteral("cmdAlarmoff"));
    connect(m_cmdAlarmOn, &QPushButton::clicked, this, &frmAlarm::cmdAlarmOn_Click);
    connect(m_cmdAlarmoff, &QPushButton::clicked, this, &frmAlarm::cmdAlarmoff_Click);
    placeControls();
}

void frmAlarm::placeControls() {
    // The design places the controls at fixed positions; a longer title or a wider font pushes the
    // buttons down and the window wider instead of clipping.
    m_imgImage->setGeometry(QRect(ui::twipsToPoint(kIconLeft, kIconTop, this), QSize(kIconSize, kIconSize)));
    const QPoint labelAt = ui::twipsToPoint(kLabelLeft, kLabelTop, this);
    const QSize labelDesign = ui::twipsToSize(kLabelWidth, kLabelHeight, this);
    const int labelHeight = qMax(labelDesign.height(), m_lblSchedule->heightForWidth(labelDesign.width()));
    m_lblSchedule->setGeometry(QRect(labelAt, QSize(labelDesign.width(), labelHeight)));

    const int grow = labelHeight - labelDesign.height();
    const QSize buttonDesign = ui::twipsToSize(kButtonWidth, kButtonHeight, this);
    int right = 0;
    QPushButton* buttons[] = {m_cmdAlarmOn, m_cmdAlarmoff};
    for (int i = 0; i < 2; ++i) {
        const QSize size = buttonDesign.expandedTo(buttons[i]->sizeHint());
        int left = ui::twipsToPixelsX(kButtonLefts[i], this);
        if (i > 0)
            left = qMax(left, right + ui::twipsToPixelsX(kButtonLefts[1] - kButtonLefts[0] - kButtonWidth, this));
        buttons[i]->setGeometry(QRect(QPoint(left, ui::twipsToPixelsY(kButtonTop, this) + grow), size));
        right = left + size.width();
    }
    const QSize design = ui::twipsToSize(kClientWidth, kClientHeight, this);
    const int margin = ui::twipsToPixelsX(kButtonLefts[0], this);
    setFixedSize(qMax(design.width(), right + margin), design.height() + grow);
}

void frmAlarm::Load() {
    if (m_ref.index >= 0 && m_ref.index < m_schedule.size()) {
        ScheduleItem& item = m_schedule[m_ref.index];
        // Unarmed at once, so that the next tick does not raise the same alarm again.
        item.armed = false;
        ui::setPlainText(m_lblSchedule, alarmMessage(item));
    } else {
        ScheduleItem gone;
        gone.title = m_ref.title;
        ui::setPlainText(m_lblSchedule, alarmMessage(gone));
    }
    placeControls();
    show();
    raise();
    activateWindow();
    ui::PlayNoticeSound(m_user.ALARM_SOUNDFILE);
}

void frmAlarm::cmdAlarmOn_Click() {
    snoozeAlarm(m_schedule, m_ref, Clock::now());
    close();
}

void frmAlarm::cmdAlarmoff_Click() {
    cancelAlarm(m_schedule, m_ref);
    close();
}

} // namespace zelmora
