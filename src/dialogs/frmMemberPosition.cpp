#include "dialogs/frmMemberPosition.h"

#include "groupware/GroupwareSession.h"
#include "ui/Fonts.h"
#include "ui/HourglassCursor.h"
#include "ui/PlainText.h"
#include "ui/Twips.h"
#include "ui/WindowRequests.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zelmora {

namespace {
constexpr int kTextWidth = 4095;
constexpr int kTextHeight = 975;
constexpr int kButtonWidth = 1695;
constexpr int kButtonHeight = 375;

QPlainTextEdit* makeTextBox(const QString& name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setMinimumWidth(ui::twipsToPixelsX(kTextWidth, parent));
    // The designed height, but never fewer than three lines of the font in use.
    const int lines =
        3 * box->fontMetrics().lineSpacing() + 2 * box->frameWidth() + 2 * int(box->document()->documentMargin());
    box->setFixedHeight(qMax(ui::twipsToPixelsY(kTextHeight, parent), lines));
    box->setTabChangesFocus(true);
    return box;
}
} // namespace

frmMemberPosition::frmMemberPosition(const GroupwareSession& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("frmMemberPosition"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(ui::japaneseUiFont(9));
    createControls();
}

void frmMemberPosition::createControls() {
    m_txtPosition = makeTextBox(QStringLiteral("txtPosition"), this);
    m_txtTelNo = makeTextBox(QStringLiteral("txtTelNo"), this);
    m_chkTelMemo = new QCheckBox(QStringLiteral("電話メモあり"), this);
    m_chkTelMemo->setObjectName(QStringLiteral("chkTelMemo"));
    // It shows a state of the server; clicking it would only make it lie.
    m_chkTelMemo->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_chkTelMemo->setFocusPolicy(Qt::NoFocus);
    m_cmdToCybozu = new QPushButton(QStringLiteral("ｻｲﾎﾞｳｽﾞOffice4へ"), this);
    m_cmdToCybozu->setObjectName(QStringLiteral("cmdToCybozu"));
    m_cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    m_cmdClose->setDefault(true);
    for (QPushButton* button : {m_cmdToCybozu, m_cmdClose})
        button->setMinimumSize(ui::twipsToSize(kButtonWidth, kButtonHeight, this));

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("行先："), this), 0, 0, Qt::AlignTop);
    fields->addWidget(m_txtPosition, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("連絡先："), this), 1, 0, Qt::AlignTop);
    fields->addWidget(m_txtTelNo, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chkTelMemo);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdToCybozu);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_cmdToCybozu, &QPushButton::clicked, this, &frmMemberPosition::cmdToCybozu_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void frmMemberPosition::Fill(const MemberWindowFields& fields) {
    m_txtPosition->setPlainText(fields.position);
    m_txtTelNo->setPlainText(fields.telNo);
    m_chkTelMemo->setChecked(fields.telMemo);
    ui::setPlainWindowTitle(this, fields.title);
}

void frmMemberPosition::ShowCentred() {
    if (!isVisible()) {
        adjustSize();
        if (const QScreen* screen = this->screen()) {
            QRect frame(QPoint(), frameGeometry().size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
}

void frmMemberPosition::cmdToCybozu_Click() {
    if (!m_pageOpener)
        return;
    ui::HourglassCursor hourglass;
    PageRequest request;
    request.intOpenPageType = 0;
    if (m_session.isLoggedIn()) {
        request.userId = m_session.userId();
        request.password = m_session.password();
    }
    m_pageOpener(request);
}

} // namespace zelmora
