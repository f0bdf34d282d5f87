#include "dialogs/frmTelMemo.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/MessageBox.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/TelMemo.h"
#include "ui/Fonts.h"
#include "ui/HourglassCursor.h"
#include "ui/PlainText.h"
#include "ui/Twips.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zelmora {

namespace {
constexpr int kTimeWidth = 735;
constexpr int kNameWidth = 2175;
constexpr int kMemoHeight = 1215;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;

const QString kBadTime = QStringLiteral("時刻の指定が正しくありません");
const QString kUnencodable = QStringLiteral("サーバーへ送信できない文字が含まれています.");
} // namespace

frmTelMemo::frmTelMemo(const Settings& settings, const GroupwareSession& session, AppState& appState, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_session(session), m_appState(appState) {
    setObjectName(QStringLiteral("frmTelMemo"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(ui::japaneseUiFont(9));
    createControls();
}

void frmTelMemo::createControls() {
    const QString captions[] = {QStringLiteral("時刻 ："), QStringLiteral("ごろ"),       QStringLiteral("依頼主："),
                                QStringLiteral("さん"),    QStringLiteral("電話番号："), QStringLiteral("作成者：")};
    for (int i = 0; i < 6; ++i) {
        m_lblLabel[i] = new QLabel(captions[i], this);
        m_lblLabel[i]->setObjectName(QStringLiteral("lblLabel(%1)").arg(i));
    }
    m_lblDay = new QLabel(this);
    m_lblDay->setObjectName(QStringLiteral("lblDay"));
    m_lblDay->setTextFormat(Qt::PlainText);
    m_txtTime = new QLineEdit(this);
    m_txtTime->setObjectName(QStringLiteral("txtTime"));
    m_txtTime->setFixedWidth(ui::twipsToPixelsX(kTimeWidth, this));
    m_txtFromName = new QLineEdit(this);
    m_txtFromName->setObjectName(QStringLiteral("txtFromName"));
    m_txtFromName->setMinimumWidth(ui::twipsToPixelsX(kNameWidth, this));

    m_fraFrame = new QGroupBox(QStringLiteral("用件"), this);
    m_fraFrame->setObjectName(QStringLiteral("fraFrame"));
    m_optGroup = new QButtonGroup(this);
    auto* options = new QVBoxLayout(m_fraFrame);
    for (int i = 0; i < kTelMemoRequestCount; ++i) {
        // The option captions are the request texts without their closing "。".
        QString caption = telMemoRequestText(i);
        caption.chop(1);
        m_optContent[i] = new QRadioButton(caption, m_fraFrame);
        m_optContent[i]->setObjectName(QStringLiteral("optContent(%1)").arg(i));
        m_optGroup->addButton(m_optContent[i], i);
        options->addWidget(m_optContent[i]);
    }

    m_txtTelNo = new QLineEdit(this);
    m_txtTelNo->setObjectName(QStringLiteral("txtTelNo"));
    m_txtMemo = new QPlainTextEdit(this);
    m_txtMemo->setObjectName(QStringLiteral("txtMemo"));
    m_txtMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtMemo->setTabChangesFocus(true);
    m_txtMemo->setFixedHeight(ui::twipsToPixelsY(kMemoHeight, this));
    m_cboMyName = new QComboBox(this);
    m_cboMyName->setObjectName(QStringLiteral("cboMyName"));
    m_cboMyName->setEditable(true);
    m_cboMyName->setInsertPolicy(QComboBox::NoInsert);

    m_cmdOK = new QPushButton(QStringLiteral("ＯＫ"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* button : {m_cmdOK, m_cmdCancel})
        button->setMinimumSize(ui::twipsToSize(kButtonWidth, kButtonHeight, this));
    // Enter belongs to the memo's line breaks, so no button is the default.
    m_cmdOK->setAutoDefault(false);
    m_cmdCancel->setAutoDefault(false);

    auto* time = new QHBoxLayout;
    time->addWidget(m_lblDay);
    time->addSpacing(ui::twipsToPixelsX(240, this));
    time->addWidget(m_lblLabel[0]);
    time->addWidget(m_txtTime);
    time->addWidget(m_lblLabel[1]);
    time->addStretch(1);
    auto* caller = new QHBoxLayout;
    caller->addWidget(m_lblLabel[2]);
    caller->addWidget(m_txtFromName, 1);
    caller->addWidget(m_lblLabel[3]);
    auto* tel = new QHBoxLayout;
    tel->addWidget(m_lblLabel[4]);
    tel->addWidget(m_txtTelNo, 1);
    auto* writer = new QHBoxLayout;
    writer->addWidget(m_lblLabel[5]);
    writer->addWidget(m_cboMyName, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(time);
    layout->addLayout(caller);
    layout->addWidget(m_fraFrame);
    layout->addLayout(tel);
    layout->addWidget(m_txtMemo);
    layout->addLayout(writer);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_optGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            optContent_Click();
    });
    connect(m_cmdOK, &QPushButton::clicked, this, &frmTelMemo::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmTelMemo::cmdCancel_Click);
}

void frmTelMemo::Load() {
    const QDateTime now = Clock::now();
    m_lblDay->setText(memoDateCaption(now.date()));
    m_txtTime->setText(now.toString(QStringLiteral("HH:mm")));
    ui::setPlainWindowTitle(this, userNameById(m_settings.users, m_lngToUserID) + QStringLiteral("さんへの電話メモ"));
    m_cboMyName->clear();
    for (const UserRecord& user : m_settings.users) {
        if (user.id != 0)
            m_cboMyName->addItem(user.name);
    }
    m_optContent[0]->setChecked(true);
    optContent_Click();
    m_cboMyName->setEditText(userNameById(m_settings.users, m_session.userId()));
    m_bflgCloseForm = false;
}

int frmTelMemo::selectedRequest() const {
    return qMax(0, m_optGroup->checkedId());
}

void frmTelMemo::optContent_Click() {
    // Disabled fields keep their text, and it is sent all the same.
    const int request = selectedRequest();
    m_lblLabel[4]->setEnabled(request == 0);
    m_txtTelNo->setEnabled(request == 0);
    m_txtMemo->setEnabled(request == 2);
}

void frmTelMemo::setControlsEnabled(bool enabled) {
    QList<QWidget*> controls{m_lblDay,  m_txtTime,   m_txtFromName, m_fraFrame, m_txtTelNo,
                             m_txtMemo, m_cboMyName, m_cmdOK,       m_cmdCancel};
    for (QLabel* label : m_lblLabel)
        controls << label;
    for (QRadioButton* option : m_optContent)
        controls << option;
    for (QWidget* control : std::as_const(controls))
        control->setEnabled(enabled);
    if (enabled)
        optContent_Click();
}

void frmTelMemo::cmdOK_Click() {
    if (m_sending || m_bflgCloseForm)
        return;
    if (!isValidMemoTime(m_txtTime->text())) {
        showMessage(kTitleError, MsgIcon::Warning, kBadTime);
        return;
    }
    TelMemoRequest memo;
    memo.toUserId = m_lngToUserID;
    memo.date = m_lblDay->text();
    memo.time = m_txtTime->text();
    memo.whom = m_txtFromName->text();
    memo.request = selectedRequest();
    memo.tel = m_txtTelNo->text();
    memo.memo = m_txtMemo->toPlainText();
    memo.writer = m_cboMyName->currentText();
    bool encodable = true;
    telMemoForm(memo).encoded(&encodable);
    if (!encodable) {
        // Nothing is lost: the dialog stays open so that the text can be corrected.
        showMessage(kTitleError, MsgIcon::Warning, kUnencodable);
        return;
    }

    m_sending = true;
    setControlsEnabled(false);
    {
        ui::HourglassCursor hourglass;
        PostTelMemo(m_settings.connection, memo);
    }
    setControlsEnabled(true);
    m_sending = false;
    endDialog(false);
}

void frmTelMemo::cmdCancel_Click() {
    if (m_sending)
        return;
    endDialog(true);
}

void frmTelMemo::endDialog(bool cancelled) {
    if (m_bflgCloseForm)
        return;
    m_appState.dialogCancelled = cancelled;
    m_bflgCloseForm = true;
    QDialog::reject();
    emit formClosed();
}

void frmTelMemo::reject() {
    // Escape and the close box end the dialog as "キャンセル" does.
    if (m_sending)
        return;
    if (!m_bflgCloseForm) {
        endDialog(true);
        return;
    }
    QDialog::reject();
}

void frmTelMemo::closeEvent(QCloseEvent* event) {
    if (m_sending) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace zelmora
