#include "dialogs/frmSetEndAction.h"

#include "core/AppState.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zelmora {

frmSetEndAction::frmSetEndAction(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetEndAction"));
    setWindowTitle(QStringLiteral("終了時処理の設定"));

    auto* frame = new QGroupBox(QStringLiteral("終了時の処理"), this);
    m_options[0] = new QRadioButton(QStringLiteral("終了時に行先を自動登録する"), frame);
    m_options[1] = new QRadioButton(QStringLiteral("終了時に行先登録ダイアログを表示する"), frame);
    m_options[0]->setObjectName(QStringLiteral("optEndActionType(0)"));
    m_options[1]->setObjectName(QStringLiteral("optEndActionType(1)"));
    // A group without auto-exclusive buttons allows "neither" (the NONE setting) until a click.
    m_group = new QButtonGroup(this);
    m_group->setExclusive(false);
    for (int i = 0; i < 2; ++i) {
        m_group->addButton(m_options[i], i);
        connect(m_options[i], &QRadioButton::clicked, this, [this, i] {
            m_options[i]->setChecked(true);
            m_options[1 - i]->setChecked(false);
            updateComboEnabled();
        });
    }
    m_cboEndAction = new QComboBox(frame);
    m_cboEndAction->setObjectName(QStringLiteral("cboEndAction"));
    m_cboEndAction->setEditable(true);
    m_cboEndAction->setMinimumContentsLength(16);

    auto* comboRow = new QHBoxLayout;
    comboRow->addSpacing(24);
    comboRow->addWidget(m_cboEndAction, 1);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_options[0]);
    frameLayout->addLayout(comboRow);
    frameLayout->addWidget(m_options[1]);

    m_cmdOk = new QPushButton(QStringLiteral("設定"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_cmdOk, &QPushButton::clicked, this, &frmSetEndAction::onOk);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSetEndAction::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOk);
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSetEndAction::Initialize() {
    m_cboEndAction->clear();
    m_cboEndAction->addItem(QStringLiteral("帰宅"));
    m_cboEndAction->addItem(QStringLiteral("不在"));
    m_options[0]->setChecked(intEndActionType == 0);
    m_options[1]->setChecked(intEndActionType == 1);
    m_cboEndAction->setEditText(intEndActionType == 0 ? strEndPosition : QString());
    updateComboEnabled();
}

int frmSetEndAction::exec() {
    Initialize();
    return QDialog::exec();
}

void frmSetEndAction::updateComboEnabled() {
    m_cboEndAction->setEnabled(m_options[0]->isChecked());
}

void frmSetEndAction::setCancelled(bool cancelled) {
    if (m_app)
        m_app->dialogCancelled = cancelled;
}

void frmSetEndAction::onOk() {
    setEnabled(false);
    if (m_options[0]->isChecked()) {
        intEndActionType = 0;
        strEndPosition = m_cboEndAction->currentText();
    } else {
        intEndActionType = 1;
        strEndPosition.clear();
    }
    setEnabled(true);
    setCancelled(false);
    accept();
}

void frmSetEndAction::reject() {
    setCancelled(true);
    QDialog::reject();
}

} // namespace zelmora
