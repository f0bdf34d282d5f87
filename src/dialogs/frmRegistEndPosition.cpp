#include "dialogs/frmRegistEndPosition.h"

#include "core/Logging.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelmora {

namespace {
QComboBox* editableCombo(const QString& name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

// Texts from the server are plain text, never rich text.
QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

frmRegistEndPosition::frmRegistEndPosition(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRegistEndPosition"));
    setWindowTitle(QStringLiteral("ゼルモラ終了時の行先登録"));

    m_cboYourPosition = editableCombo(QStringLiteral("cboYourPosition"), this);
    m_cboYourPosition->setMinimumContentsLength(18);
    m_cboToLimit = editableCombo(QStringLiteral("cboToLimit"), this);
    m_cboToLimit->setMinimumContentsLength(8);
    m_cboLimitUnit = editableCombo(QStringLiteral("cboLimitUnit"), this);
    m_cboLimitUnit->setMinimumContentsLength(6);
    m_txtTelNo = new QLineEdit(this);
    m_txtTelNo->setObjectName(QStringLiteral("txtTelNo"));

    auto* grid = new QGridLayout;
    grid->addWidget(plainLabel(QStringLiteral("行先："), this), 0, 0);
    grid->addWidget(m_cboYourPosition, 0, 1, 1, 2);
    grid->addWidget(plainLabel(QStringLiteral("予定日時："), this), 1, 0);
    grid->addWidget(m_cboToLimit, 1, 1);
    grid->addWidget(m_cboLimitUnit, 1, 2);
    grid->addWidget(plainLabel(QStringLiteral("連絡先："), this), 2, 0);
    grid->addWidget(m_txtTelNo, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    m_cmdRegist = new QPushButton(QStringLiteral("登録"), this);
    m_cmdRegist->setObjectName(QStringLiteral("cmdRegist"));
    m_cmdRegist->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_cmdRegist, &QPushButton::clicked, this, &frmRegistEndPosition::onRegist);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdRegist);
    buttons->addWidget(m_cmdCancel);

    m_lblCountdown = plainLabel(QString(), this);
    m_lblCountdown->setObjectName(QStringLiteral("lblCountdown"));
    m_lblCountdown->hide();
    connect(&m_countdown, &QTimer::timeout, this, &frmRegistEndPosition::onCountdownStep);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(plainLabel(QStringLiteral("以下の内容で行先登録をした後、ゼルモラを終了します."), this));
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(m_lblCountdown);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmRegistEndPosition::Initialize(const EndPositionChoices& choices) {
    m_cboYourPosition->clear();
    m_cboYourPosition->addItems({QStringLiteral("帰宅"), QStringLiteral("不在")});
    m_cboYourPosition->addItems(choices.places);
    m_cboToLimit->clear();
    m_cboToLimit->addItem(QString());
    m_cboToLimit->addItems(choices.limits);
    m_cboLimitUnit->clear();
    m_cboLimitUnit->addItem(QString());
    m_cboLimitUnit->addItems(choices.units);
    for (QComboBox* combo : {m_cboYourPosition, m_cboToLimit, m_cboLimitUnit}) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
}

void frmRegistEndPosition::LockForm() {
    m_cmdRegist->setEnabled(false);
    m_cmdCancel->setEnabled(false);
}

void frmRegistEndPosition::UnlockForm() {
    m_cmdRegist->setEnabled(true);
    m_cmdCancel->setEnabled(true);
}

void frmRegistEndPosition::setAutoCancel(int seconds, int stepMs) {
    m_secondsLeft = qMax(0, seconds);
    m_countdown.setInterval(qMax(1, stepMs));
    m_countdown.start();
    m_lblCountdown->show();
    showCountdown();
}

void frmRegistEndPosition::showCountdown() {
    m_lblCountdown->setText(QStringLiteral("応答がないため、あと %1 秒でキャンセルして終了します.").arg(m_secondsLeft));
}

void frmRegistEndPosition::onCountdownStep() {
    // A post in progress (the buttons locked) finishes first; the dialog then closes by itself.
    if (!m_cmdCancel->isEnabled())
        return;
    if (--m_secondsLeft > 0) {
        showCountdown();
        return;
    }
    m_countdown.stop();
    qCInfo(lcApp) << "no answer: the end-of-day dialog cancels itself";
    m_cmdCancel->click();
}

void frmRegistEndPosition::onRegist() {
    m_countdown.stop();
    const EndPositionEntry entry{m_cboYourPosition->currentText(), m_cboToLimit->currentText(),
                                 m_cboLimitUnit->currentText(), m_txtTelNo->text()};
    LockForm();
    if (m_poster)
        m_poster(entry);
    UnlockForm();
    accept();
}

} // namespace zelmora
