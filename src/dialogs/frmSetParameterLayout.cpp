#include "dialogs/frmSetParameter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

// The controls of the settings dialog and their places. Every control carries its name as object
// name; the frames too, named after what they hold.

namespace zelmora {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption) {
    return named(new QCheckBox(caption, parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    return named(new QPushButton(caption, parent), name);
}

// A box for a few digits, wide enough for them in any font.
QLineEdit* numberBox(QWidget* parent, const char* name) {
    auto* edit = named(new QLineEdit(parent), name);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption) {
    return named(new QGroupBox(caption, parent), name);
}

} // namespace

void frmSetParameter::createControls() {
    m_objTabStrip = named(new QTabWidget(this), "objTabStrip");
    m_objTabStrip->addTab(createPersonalTab(), setparameter::kPersonalTab);
    m_objTabStrip->addTab(createCommonTab(), setparameter::kCommonTab);

    m_cmdApply = button(this, "cmdApply", QStringLiteral("設定"));
    m_cmdCancel = button(this, "cmdCancel", QStringLiteral("キャンセル"));
    // Enter in a box must not confirm the whole dialog.
    m_cmdApply->setAutoDefault(false);
    m_cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdApply);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_objTabStrip);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* frmSetParameter::createPersonalTab() {
    auto* page = new QWidget;
    auto* right = new QVBoxLayout;
    right->addWidget(createGroupOrderFrame(page), 1);
    right->addWidget(createStartEndFrame(page));
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(createNotifyFrame(page), 1);
    layout->addLayout(right);
    return page;
}

QWidget* frmSetParameter::createCommonTab() {
    auto* page = new QWidget;
    auto* left = new QVBoxLayout;
    left->addWidget(createServerFrame(page));
    left->addWidget(createGetDataModeFrame(page));
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(createAutoRegistFrame(page));
    right->addWidget(createTimerFrame(page));
    right->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    return page;
}

QGroupBox* frmSetParameter::createNotifyFrame(QWidget* parent) {
    QGroupBox* box = frame(parent, "fraNotify", QStringLiteral("通知"));
    m_chkNotifyMail = checkBox(box, "chkNotifyMail", QStringLiteral("メールの到着を通知する"));
    m_chkNotifyCircular = checkBox(box, "chkNotifyCircular", QStringLiteral("未読回覧ありを通知する"));
    m_chkNotifyMemo = checkBox(box, "chkNotifyMemo", QStringLiteral("電話メモありを通知する"));
    m_chkNotifyNewArticle = checkBox(box, "chkNotifyNewArticle", QStringLiteral("新着掲示ありを通知する"));
    m_chkNotifyWorkFlow = checkBox(box, "chkNotifyWorkFlow", QStringLiteral("申請書類ありを通知する"));
    m_chkNotifySchedule = checkBox(box, "chkNotifySchedule", QStringLiteral("スケジュールを通知する"));
    m_txtAlarmTiming = numberBox(box, "txtAlarmTiming");
    m_lblAlarmTiming = named(new QLabel(QStringLiteral("分前"), box), "lblAlarmTiming");
    m_chkUseSound = checkBox(box, "chkUseSound", QStringLiteral("通知にサウンドを使用する"));
    m_lblSoundFile = named(new QLabel(QStringLiteral("WAVファイル："), box), "lblSoundFile");
    m_txtSoundFileName = named(new QLineEdit(box), "txtSoundFileName");
    m_txtSoundFileName->setMinimumWidth(m_txtSoundFileName->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    m_cmdFileRef = button(box, "cmdFileRef", QStringLiteral("参照..."));
    m_cmdSoundTest = button(box, "cmdSoundTest", QStringLiteral("テスト"));

    auto* schedule = new QHBoxLayout;
    schedule->addWidget(m_chkNotifySchedule);
    schedule->addSpacing(8);
    schedule->addWidget(m_txtAlarmTiming);
    schedule->addWidget(m_lblAlarmTiming);
    schedule->addStretch(1);
    auto* file = new QHBoxLayout;
    file->addSpacing(20);
    file->addWidget(m_lblSoundFile);
    file->addWidget(m_txtSoundFileName, 1);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addStretch(1);
    fileButtons->addWidget(m_cmdFileRef);
    fileButtons->addWidget(m_cmdSoundTest);

    auto* layout = new QVBoxLayout(box);
    for (QCheckBox* check :
         {m_chkNotifyMail, m_chkNotifyCircular, m_chkNotifyMemo, m_chkNotifyNewArticle, m_chkNotifyWorkFlow})
        layout->addWidget(check);
    layout->addLayout(schedule);
    layout->addSpacing(6);
    layout->addWidget(m_chkUseSound);
    layout->addLayout(file);
    layout->addLayout(fileButtons);
    layout->addStretch(1);
    m_frames.append(box);
    return box;
}

QGroupBox* frmSetParameter::createGroupOrderFrame(QWidget* parent) {
    QGroupBox* box = frame(parent, "fraGroupDispOrder", QStringLiteral("行先リスト"));
    m_cboSelectGroup = named(new QComboBox(box), "cboSelectGroup");
    m_cboSelectGroup->setMinimumContentsLength(10);
    m_cboSelectGroup->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cmdAdd = button(box, "cmdAdd", QStringLiteral("↑追加"));
    m_cmdRemove = button(box, "cmdRemove", QStringLiteral("↓削除"));
    m_lstGroupDispOrder = named(new QListWidget(box), "lstGroupDispOrder");
    m_lstGroupDispOrder->setMinimumHeight(m_lstGroupDispOrder->fontMetrics().height() * 6);
    m_cmdToUp = button(box, "cmdToUp", QStringLiteral("↑"));
    m_cmdToDown = button(box, "cmdToDown", QStringLiteral("↓"));

    auto* updown = new QVBoxLayout;
    updown->addWidget(m_cmdToUp);
    updown->addWidget(m_cmdToDown);
    updown->addStretch(1);
    auto* list = new QHBoxLayout;
    list->addWidget(m_lstGroupDispOrder, 1);
    list->addLayout(updown);
    auto* add = new QHBoxLayout;
    add->addWidget(m_cmdAdd);
    add->addWidget(m_cmdRemove);
    add->addStretch(1);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(list, 1);
    layout->addLayout(add);
    layout->addWidget(m_cboSelectGroup);
    m_frames.append(box);
    return box;
}

QGroupBox* frmSetParameter::createStartEndFrame(QWidget* parent) {
    QGroupBox* box = frame(parent, "fraStartEnd", QStringLiteral("起動・終了時処理"));
    m_chkAutoLogin = checkBox(box, "chkAutoLogin", QStringLiteral("自動ログインする"));
    m_chkRegistStartUpPosition =
        checkBox(box, "chkRegistStartUpPosition", QStringLiteral("起動時に行先を自動登録する"));
    m_chkRegistEndPosition = checkBox(box, "chkRegistEndPosition", QStringLiteral("終了時に行先を変更する"));
    m_cmdSetEndAction = button(box, "cmdSetEndAction", QStringLiteral("詳細..."));
    auto* end = new QHBoxLayout;
    end->addWidget(m_chkRegistEndPosition);
    end->addWidget(m_cmdSetEndAction);
    end->addStretch(1);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(m_chkAutoLogin);
    layout->addWidget(m_chkRegistStartUpPosition);
    layout->addLayout(end);
    m_frames.append(box);
    return box;
}

QGroupBox* frmSetParameter::createServerFrame(QWidget* parent) {
    QGroupBox* box = frame(parent, "fraServer", QStringLiteral("サイボウズサーバー"));
    m_optServerType = new QButtonGroup(this);
    auto* type0 = named(new QRadioButton(QStringLiteral("WindowsNT/Windows2000用"), box), "optServerType(0)");
    auto* type1 = named(new QRadioButton(QStringLiteral("Unix用"), box), "optServerType(1)");
    m_optServerType->addButton(type0, 0);
    m_optServerType->addButton(type1, 1);
    m_txtServerURL = named(new QLineEdit(box), "txtServerURL");
    m_txtServerURL->setMinimumWidth(m_txtServerURL->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    m_cmdTestConnection = button(box, "cmdTestConnection", QStringLiteral("接続テスト"));
    m_cmdSetInetDetail = button(box, "cmdSetInetDetail", QStringLiteral("詳細..."));
    m_chkCheckUsableApplication =
        checkBox(box, "chkCheckUsableApplication", QStringLiteral("使用可能アプリケーションをチェックする"));
    m_chkAlwaysUpdateUserData =
        checkBox(box, "chkAlwaysUpdateUserData", QStringLiteral("起動時に毎回ユーザーリストを更新する"));

    auto* types = new QHBoxLayout;
    types->addWidget(type0);
    types->addWidget(type1);
    types->addStretch(1);
    auto* url = new QHBoxLayout;
    url->addWidget(new QLabel(QStringLiteral("URL："), box));
    url->addWidget(m_txtServerURL, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdTestConnection);
    buttons->addWidget(m_cmdSetInetDetail);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(types);
    layout->addLayout(url);
    layout->addLayout(buttons);
    layout->addWidget(m_chkCheckUsableApplication);
    layout->addWidget(m_chkAlwaysUpdateUserData);
    m_frames.append(box);
    return box;
}

QGroupBox* frmSetParameter::createGetDataModeFrame(QWidget* parent) {
    QGroupBox* box = frame(parent, "fraGetDataMode", QStringLiteral("行先データの取得方法"));
    m_optGetDataMode = new QButtonGroup(this);
    const QString captions[3] = {QStringLiteral("全員のデータ"), QStringLiteral("アクティブなグループのみ"),
                                 QStringLiteral("表示対象グループのみ")};
    auto* options = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(captions[i], box);
        option->setObjectName(QStringLiteral("optGetDataMode(%1)").arg(i));
        m_optGetDataMode->addButton(option, i);
        options->addWidget(option);
    }
    options->addStretch(1);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(options);
    layout->addWidget(named(new QLabel(QStringLiteral("使用環境によって最適なデータ取得方法が異なります。"), box),
                            "lblGetDataModeNote"));
    m_frames.append(box);
    return box;
}

QGroupBox* frmSetParameter::createAutoRegistFrame(QWidget* parent) {
    QGroupBox* box = frame(parent, "fraAutoRegist", QStringLiteral("自動登録"));
    m_cboPositionName = named(new QComboBox(box), "cboPositionName");
    m_cboPositionName->setEditable(true);
    m_cboPositionName->setInsertPolicy(QComboBox::NoInsert);
    m_cboPositionName->setMinimumContentsLength(12);
    m_txtTelNo = named(new QLineEdit(box), "txtTelNo");
    auto* layout = new QGridLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("自動登録時の登録内容："), box), 0, 0);
    layout->addWidget(m_cboPositionName, 1, 0);
    layout->addWidget(new QLabel(QStringLiteral("連絡先電話番号："), box), 2, 0);
    layout->addWidget(m_txtTelNo, 3, 0);
    m_frames.append(box);
    return box;
}

QGroupBox* frmSetParameter::createTimerFrame(QWidget* parent) {
    QGroupBox* box = frame(parent, "fraTimer", QStringLiteral("タイマー設定"));
    m_txtGetInterval = numberBox(box, "txtGetInterval");
    m_txtUpdateInterval = numberBox(box, "txtUpdateInterval");
    m_txtAbsenseLevel = numberBox(box, "txtAbsenseLevel");
    auto* layout = new QGridLayout(box);
    const std::pair<QString, QLineEdit*> rows[3] = {{QStringLiteral("情報取得間隔："), m_txtGetInterval},
                                                    {QStringLiteral("行先登録更新間隔："), m_txtUpdateInterval},
                                                    {QStringLiteral("不在判断時間："), m_txtAbsenseLevel}};
    for (int r = 0; r < 3; ++r) {
        layout->addWidget(new QLabel(rows[r].first, box), r, 0);
        layout->addWidget(rows[r].second, r, 1);
        layout->addWidget(new QLabel(QStringLiteral("分"), box), r, 2);
    }
    layout->setColumnStretch(3, 1);
    m_frames.append(box);
    return box;
}

void frmSetParameter::connectControls() {
    connect(m_objTabStrip, &QTabWidget::currentChanged, this, &frmSetParameter::applyEnabledStates);
    for (QCheckBox* check : {m_chkNotifySchedule, m_chkUseSound, m_chkRegistEndPosition})
        connect(check, &QCheckBox::clicked, this, &frmSetParameter::applyEnabledStates);
    connect(m_optServerType, &QButtonGroup::idClicked, this, &frmSetParameter::serverControls_Change);
    connect(m_txtServerURL, &QLineEdit::textChanged, this, &frmSetParameter::serverControls_Change);
    connect(m_chkCheckUsableApplication, &QCheckBox::clicked, this, &frmSetParameter::chkCheckUsableApplication_Click);
    connect(m_cmdTestConnection, &QPushButton::clicked, this, &frmSetParameter::cmdTestConnection_Click);
    connect(m_cmdSetInetDetail, &QPushButton::clicked, this, &frmSetParameter::cmdSetInetDetail_Click);
    connect(m_cmdSetEndAction, &QPushButton::clicked, this, &frmSetParameter::cmdSetEndAction_Click);
    connect(m_cmdAdd, &QPushButton::clicked, this, &frmSetParameter::cmdAdd_Click);
    connect(m_cmdRemove, &QPushButton::clicked, this, &frmSetParameter::cmdRemove_Click);
    connect(m_cmdToUp, &QPushButton::clicked, this, &frmSetParameter::cmdToUp_Click);
    connect(m_cmdToDown, &QPushButton::clicked, this, &frmSetParameter::cmdToDown_Click);
    connect(m_cmdFileRef, &QPushButton::clicked, this, &frmSetParameter::cmdFileRef_Click);
    connect(m_cmdSoundTest, &QPushButton::clicked, this, &frmSetParameter::cmdSoundTest_Click);
    connect(m_cmdApply, &QPushButton::clicked, this, &frmSetParameter::cmdApply_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSetParameter::reject);
}

} // namespace zelmora
