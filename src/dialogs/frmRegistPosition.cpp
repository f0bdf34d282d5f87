#include "dialogs/frmRegistPosition.h"

#include "core/Clock.h"
#include "core/MessageBox.h"
#include "dialogs/RegistPositionLogic.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Registration.h"
#include "ui/Fonts.h"
#include "ui/HourglassCursor.h"
#include "ui/PlainText.h"
#include "ui/ResidentControl.h"
#include "ui/Twips.h"
#include "ui/WindowUtils.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelmora {

namespace {
constexpr int kPlaceWidth = 2895;
constexpr int kLimitWidth = 855;
constexpr int kUnitWidth = 1335;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;

const QString kUnencodable = QStringLiteral("サーバーへ送信できない文字が含まれています.");
} // namespace

frmRegistPosition::frmRegistPosition(const Settings& settings, GroupwareSession& session, StatusControl* status,
                                     QWidget* parent)
    : QDialog(parent), m_settings(settings), m_session(session), m_status(status) {
    setObjectName(QStringLiteral("frmRegistPosition"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(ui::japaneseUiFont(9));
    createControls();
}

void frmRegistPosition::createControls() {
    m_chkAutoUpdatePosition = new QCheckBox(QStringLiteral("自動登録"), this);
    m_chkAutoUpdatePosition->setObjectName(QStringLiteral("chkAutoUpdatePosition"));

    m_fraFrame = new QGroupBox(QStringLiteral("手動入力"), this);
    m_fraFrame->setObjectName(QStringLiteral("fraFrame"));
    const QString captions[] = {QStringLiteral("行先："), QStringLiteral("予定日時："), QStringLiteral("連絡先：")};
    for (int i = 0; i < 3; ++i) {
        m_lblLabel[i] = new QLabel(captions[i], m_fraFrame);
        m_lblLabel[i]->setObjectName(QStringLiteral("lblLabel(%1)").arg(i));
    }
    m_cboYourPosition = new QComboBox(m_fraFrame);
    m_cboYourPosition->setObjectName(QStringLiteral("cboYourPosition"));
    m_cboYourPosition->setEditable(true);
    m_cboYourPosition->setInsertPolicy(QComboBox::NoInsert);
    m_cboYourPosition->setMinimumWidth(ui::twipsToPixelsX(kPlaceWidth, this));
    m_cboToLimit = new QComboBox(m_fraFrame);
    m_cboToLimit->setObjectName(QStringLiteral("cboToLimit"));
    m_cboToLimit->setMinimumWidth(ui::twipsToPixelsX(kLimitWidth, this));
    m_cboLimitUnit = new QComboBox(m_fraFrame);
    m_cboLimitUnit->setObjectName(QStringLiteral("cboLimitUnit"));
    m_cboLimitUnit->setMinimumWidth(ui::twipsToPixelsX(kUnitWidth, this));
    m_txtTelNo = new QLineEdit(m_fraFrame);
    m_txtTelNo->setObjectName(QStringLiteral("txtTelNo"));

    auto* limit = new QHBoxLayout;
    limit->addWidget(m_cboToLimit);
    limit->addWidget(m_cboLimitUnit);
    limit->addStretch(1);
    auto* grid = new QGridLayout(m_fraFrame);
    grid->addWidget(m_lblLabel[0], 0, 0);
    grid->addWidget(m_cboYourPosition, 0, 1);
    grid->addWidget(m_lblLabel[1], 1, 0);
    grid->addLayout(limit, 1, 1);
    grid->addWidget(m_lblLabel[2], 2, 0);
    grid->addWidget(m_txtTelNo, 2, 1);

    m_cmdRegist = new QPushButton(QStringLiteral("登録"), this);
    m_cmdRegist->setObjectName(QStringLiteral("cmdRegist"));
    m_cmdRegist->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* button : {m_cmdRegist, m_cmdCancel})
        button->setMinimumSize(ui::twipsToSize(kButtonWidth, kButtonHeight, this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdRegist);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chkAutoUpdatePosition);
    layout->addWidget(m_fraFrame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_chkAutoUpdatePosition, m_cboYourPosition);
    setTabOrder(m_cboYourPosition, m_cboToLimit);
    setTabOrder(m_cboToLimit, m_cboLimitUnit);
    setTabOrder(m_cboLimitUnit, m_txtTelNo);
    setTabOrder(m_txtTelNo, m_cmdRegist);
    setTabOrder(m_cmdRegist, m_cmdCancel);

    connect(m_chkAutoUpdatePosition, &QCheckBox::toggled, this, &frmRegistPosition::chkAutoUpdatePosition_Click);
    connect(m_cmdRegist, &QPushButton::clicked, this, &frmRegistPosition::cmdRegist_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmRegistPosition::cmdCancel_Click);
}

void frmRegistPosition::setMember(qint32 lngUserID, qint16 intMode, const QString& strCurrentPosition,
                                  const QString& strCurrentTelNo) {
    m_lngUserID = lngUserID;
    m_intMode = intMode;
    m_strCurrentPosition = strCurrentPosition;
    m_strCurrentTelNo = strCurrentTelNo;
}

void frmRegistPosition::selectItem(QComboBox* list, const QString& text) {
    list->setCurrentIndex(ui::FindListItem(list, text));
}

void frmRegistPosition::Initialize() {
    // The entry page of the logged-in user, whoever the dialog is for: only its lists are used.
    const WhereEntryChoices choices = GetWhereEntryChoices(m_settings.connection, m_session);
    ui::setPlainWindowTitle(this, userNameById(m_settings.users, m_lngUserID) + QStringLiteral("さんの行先登録"));

    const PositionFields fields = splitCurrentPosition(m_strCurrentPosition, m_strCurrentTelNo);
    // "自動登録" writes the logged-in user's own HERE_POSITION and HERE_TELNO: never offered for
    // another member, whichever menu opened the dialog.
    const bool own = m_session.isLoggedIn() && m_lngUserID == m_session.userId();
    const RegistFormState state = registFormState(fields.autoRegistered, own ? m_intMode : kRegistModeGrid);
    m_chkAutoUpdatePosition->setEnabled(state.autoEnabled);

    m_cboYourPosition->clear();
    m_cboYourPosition->addItems(choices.placesWithoutSeparators());
    m_cboToLimit->clear();
    m_cboToLimit->addItem(QString());
    m_cboToLimit->addItems(choices.until);
    m_cboToLimit->setCurrentIndex(-1);
    m_cboLimitUnit->clear();
    m_cboLimitUnit->addItem(QString());
    m_cboLimitUnit->addItems(choices.unit);
    m_cboLimitUnit->setCurrentIndex(-1);

    m_cboYourPosition->setCurrentIndex(-1);
    m_cboYourPosition->setEditText(fields.place);
    if (fields.hasLimit) {
        selectItem(m_cboToLimit, fields.limitNumber);
        selectItem(m_cboLimitUnit, fields.limitUnit);
    }
    m_txtTelNo->setText(fields.contact);

    m_chkAutoUpdatePosition->setChecked(state.autoTicked);
    chkAutoUpdatePosition_Click();
}

void frmRegistPosition::chkAutoUpdatePosition_Click() {
    const bool manual = !m_chkAutoUpdatePosition->isChecked();
    m_fraFrame->setEnabled(manual);
    for (QWidget* field : std::initializer_list<QWidget*>{m_cboYourPosition, m_cboToLimit, m_cboLimitUnit, m_txtTelNo,
                                                          m_lblLabel[0], m_lblLabel[1], m_lblLabel[2]})
        field->setEnabled(manual);
}

void frmRegistPosition::LockForm() {
    m_cmdRegist->setEnabled(false);
    m_cmdCancel->setEnabled(false);
}

void frmRegistPosition::UnlockForm() {
    m_cmdRegist->setEnabled(true);
    m_cmdCancel->setEnabled(true);
}

void frmRegistPosition::cmdRegist_Click() {
    if (m_registering)
        return;
    RegistInput input;
    input.autoTicked = m_chkAutoUpdatePosition->isChecked();
    input.place = m_cboYourPosition->currentText();
    input.until = m_cboToLimit->currentText();
    input.unit = m_cboLimitUnit->currentText();
    input.contact = m_txtTelNo->text();
    const WhereEntryRequest request = registRequest(input, m_settings.connection, m_lngUserID);
    bool encodable = true;
    whereEntryBody(request, &encodable);
    if (!encodable) {
        // Such a text cannot be posted; the dialog stays open so that it can be corrected.
        showMessage(kTitleError, MsgIcon::Warning, kUnencodable);
        return;
    }

    m_registering = true;
    LockForm();
    PostWhereEntry(m_settings.connection, request);
    if (m_session.isLoggedIn() && m_lngUserID == m_session.userId())
        m_session.recordRegistration(request.detail, request.contact, Clock::now());
    {
        ui::HourglassCursor hourglass;
        if (m_status) {
            m_status->SetEnableAttention(false);
            m_status->Update();
        }
    }
    UnlockForm();
    m_registering = false;
    close();
}

void frmRegistPosition::cmdCancel_Click() {
    close();
}

void frmRegistPosition::reject() {
    if (!m_registering)
        QDialog::reject();
}

void frmRegistPosition::closeEvent(QCloseEvent* event) {
    if (m_registering) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace zelmora
