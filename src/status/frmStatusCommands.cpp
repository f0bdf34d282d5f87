#include "status/frmStatus.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/MessageBox.h"
#include "groupware/Board.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Registration.h"
#include "groupware/UserDataFile.h"
#include "status/StatusPages.h"
#include "ui/DeferredCall.h"
#include "ui/FlexGrid.h"
#include "ui/HelpFile.h"
#include "ui/HourglassCursor.h"
#include "ui/WindowUtils.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QUrl>

// Commands of the status window: the refresh button, the menus, clicks on the grid and the tabs.

namespace zelmora {

namespace {
// Menu items that open a groupware page.
const char* const kPageItems[] = {
    "mnuToCybozuTopPage", "mnuToCybozuBulletin",  "mnuToCybozuCircular", "mnuToCybozuWebMail",  "mnuToCybozuWorkFlow",
    "mnuAddNewSchedule",  "mnuRefMemberSchedule", "mnuR_RefSchedule",    "mnuRefGroupSchedule", "mnuDispGroupWhereList",
    "mnuRefMyTelMemo",    "mnuRefMemberTelMemo",  "mnuR_RefTelMemo",
};
} // namespace

void frmStatus::connectCommands() {
    auto onItem = [this](const QString& name, auto slot) {
        if (QAction* action = menuItem(name))
            connect(action, &QAction::triggered, this, slot);
    };
    connect(m_cmdUpdate, &QPushButton::clicked, this, &frmStatus::cmdUpdate_Click);
    onItem(QStringLiteral("mnuUpdate"), [this] { cmdUpdate_Click(); });
    onItem(QStringLiteral("mnuClose"), [this] { mnuClose_Click(); });
    onItem(QStringLiteral("mnuExitOption(0)"), [this] { emit exitRequested(0); });
    onItem(QStringLiteral("mnuExitOption(1)"), [this] { emit exitRequested(1); });
    onItem(QStringLiteral("mnuSetup"), [this] { emit setupRequested(); });
    onItem(QStringLiteral("mnuAbout"), [this] { emit aboutRequested(); });
    onItem(QStringLiteral("mnuHelpIndex"), [this] { mnuHelpIndex_Click(); });
    onItem(QStringLiteral("mnuUpdateUserData"), [this] { mnuUpdateUserData_Click(); });
    onItem(QStringLiteral("mnuWriteTelMemo"), [this] { writeTelMemo(memberOfRow(m_objMSFlexGrid->currentGridRow())); });
    onItem(QStringLiteral("mnuR_WriteTelMemo"), [this] { writeTelMemo(memberOfRow(m_lngClickedRow)); });
    for (const char* name : kPageItems) {
        const QString item = QLatin1String(name);
        onItem(item, [this, item] { openPage(item); });
    }
    onItem(QStringLiteral("mnuLinkItem(0)"), [this] { mnuLinkItem_Click(0); });

    onItem(QStringLiteral("mnuMyPositionItem(0)"), [this] { positionItem_Click(kMenuDetails, m_session.userId()); });
    onItem(QStringLiteral("mnuMyPositionItem(2)"),
           [this] { positionItem_Click(kMenuAutoRegistration, m_session.userId()); });
    onItem(QStringLiteral("mnuMemberPositionItem(0)"),
           [this] { positionItem_Click(kMenuDetails, memberOfRow(m_objMSFlexGrid->currentGridRow())); });
    onItem(QStringLiteral("mnuR_PositionItem(0)"), [this] { mnuR_PositionItem_Click(kMenuDetails); });
    onItem(QStringLiteral("mnuR_PositionItem(2)"), [this] { mnuR_PositionItem_Click(kMenuAutoRegistration); });

    connect(m_objTabStrip, &QTabBar::currentChanged, this, &frmStatus::objTabStrip_Click);
    connect(m_objMSFlexGrid, &ui::FlexGrid::mouseUp, this, &frmStatus::objMSFlexGrid_MouseUp);
    connect(m_objMSFlexGrid, &ui::FlexGrid::rowColChange, this, &frmStatus::objMSFlexGrid_RowColChange);
    connect(m_objMSFlexGrid, &ui::FlexGrid::dblClick, this, &frmStatus::objMSFlexGrid_DblClick);
}

void frmStatus::cmdUpdate_Click() {
    if (m_resident)
        m_resident->OffGetTimer();
    ui::HourglassCursor hourglass;
    Update();
    if (m_resident) {
        m_resident->ClearGetTimer();
        m_resident->OnGetTimer();
    }
}

void frmStatus::mnuClose_Click() {
    StoreWindowPosition();
    // As the close box: it hides the window, or ends the program when there is no tray.
    close();
}

void frmStatus::mnuHelpIndex_Click() {
    ShowHelp(m_appState.helpFilePath, QCoreApplication::applicationDirPath(),
             [](const QUrl& url) { return QDesktopServices::openUrl(url); });
}

qint32 frmStatus::memberOfRow(int row) const {
    return m_lngRowUserID.value(row, 0);
}

StatusPageContext frmStatus::pageContext() const {
    StatusPageContext context;
    context.programUrl = m_settings.connection.programUrl;
    context.userId = m_session.userId();
    context.currentMember = memberOfRow(m_objMSFlexGrid->currentGridRow());
    context.clickedMember = memberOfRow(m_lngClickedRow);
    context.selectedGroup = SelectedGroupId();
    for (const UserRecord& user : std::as_const(m_settings.users)) {
        if (user.id == context.userId && user.id != 0 && !user.groupIds.isEmpty()) {
            context.userFirstGroup = user.groupIds.first();
            break;
        }
    }
    context.today = Clock::today();
    return context;
}

void frmStatus::openPage(const QString& controlName) {
    if (const std::optional<StatusPage> page = statusPageFor(controlName, pageContext()))
        OpenPageDeferred(page->type, page->address);
}

void frmStatus::OpenPageDeferred(qint16 type, const QString& query) {
    m_intOpenPageType = type;
    m_strOpenPageQuery = query;
    m_tmrAvoidVBBug->start();
}

void frmStatus::tmrAvoidVBBug_Timer() {
    ui::HourglassCursor hourglass;
    m_tmrAvoidVBBug->stop();
    PageRequest request;
    request.intOpenPageType = m_intOpenPageType;
    request.strOpenPageQuery = m_strOpenPageQuery;
    // Kind 2 is any address and never logs in; the others log in when somebody is logged in.
    if (m_intOpenPageType != 2 && m_appState.loggedIn && m_session.isLoggedIn()) {
        request.userId = m_session.userId();
        request.password = m_session.password();
    }
    if (m_pageOpener)
        m_pageOpener(request);
}

void frmStatus::mnuLinkItem_Click(int index) {
    if (index < 0 || index >= m_links.size())
        return;
    OpenPageDeferred(2, m_links.at(index).url);
}

void frmStatus::objTabStrip_Click() {
    m_bflgEnableAttention = false;
    const bool dialogOpen = m_registDialog && m_registDialog->isFormOpen();
    if (dialogOpen)
        m_registDialog->LockForm();

    const int oldTab = m_intCurrentTab;
    if (m_objTabStrip->currentIndex() >= 0)
        m_intCurrentTab = m_objTabStrip->currentIndex() + 1;

    if (m_settings.connection.GET_DATA_MODE == 1) {
        LockForm();
        ui::HourglassCursor hourglass;
        if (m_intCurrentTab != oldTab && TabCount() >= 1) {
            // The result is not looked at: a failed read shows an empty board for this tab.
            GetPositionList(m_settings.connection, m_session, m_session.members(), SelectedGroupId());
        }
        hourglass.restore();
        UnlockForm();
    }
    ShowData();
    if (dialogOpen)
        m_registDialog->UnlockForm();
}

void frmStatus::objMSFlexGrid_MouseUp(Qt::MouseButton button, QPoint pos) {
    const ui::GridCell cell = ui::GridHitTest(m_objMSFlexGrid, pos);
    if (cell.col == -1 || cell.row == -1 || cell.row == 0)
        return;
    m_objMSFlexGrid->setCurrentGridCell(cell.row, cell.col);
    m_objMSFlexGrid->setFocusRect(ui::FlexGrid::FocusRect::None);
    m_lngClickedCol = cell.col;
    m_lngClickedRow = cell.row;
    if (button != Qt::RightButton)
        return;
    const bool own = m_appState.loggedIn && memberOfRow(m_lngClickedRow) == m_session.userId();
    m_mnuR_PositionItem.at(2)->setEnabled(own);
    m_mnuStatus->menuAction()->setVisible(false);
    m_mnuStatus->popup(m_objMSFlexGrid->mapToGlobal(pos));
}

void frmStatus::objMSFlexGrid_RowColChange() {
    if (!m_appState.loggedIn || !isWhereaboutsUsable())
        return;
    const MemberMenuState state = memberMenuState(m_lngRowUserID, m_objMSFlexGrid->currentGridRow(), m_session.userId(),
                                                  m_settings.connection.memberPermissionState);
    auto apply = [](QAction* action, const std::optional<bool>& enabled) {
        if (action && enabled)
            action->setEnabled(*enabled);
    };
    apply(menuItem(QStringLiteral("mnuWriteTelMemo")), state.writeTelMemo);
    apply(menuItem(QStringLiteral("mnuRefMemberTelMemo")), state.refMemberTelMemo);
    apply(m_mnuChangeMemberPosition->menuAction(), state.changeMemberPosition);
    apply(m_mnuR_ChangePos->menuAction(), state.rChangePos);
}

void frmStatus::positionItem_Click(const QString& caption, qint32 memberId) {
    const PositionMenuChoice choice = positionMenuChoice(caption, memberId, m_session, m_settings.connection);
    if (choice.action == PositionMenuChoice::OpenDialog) {
        if (m_openRegistrationDialog)
            m_openRegistrationDialog({choice.memberId, false, choice.currentPosition, choice.currentContact});
        return;
    }
    PostPositionMenuChoice(m_settings.connection, m_session, choice);
    refreshAfterPost();
}

void frmStatus::mnuR_PositionItem_Click(const QString& caption) {
    const qint32 member = memberOfRow(m_lngClickedRow);
    const QString position = m_objMSFlexGrid->textMatrix(m_lngClickedRow, 1);
    const QString contact = m_objMSFlexGrid->textMatrix(m_lngClickedRow, 3);
    if (caption == kMenuDetails) {
        if (m_openRegistrationDialog)
            m_openRegistrationDialog({member, true, position, contact});
        return;
    }
    WhereEntryRequest request;
    if (caption == kMenuAutoRegistration) {
        const ConnectionSettings& connection = m_settings.connection;
        request = {m_session.userId(),
                   markedText(connection.HERE_POSITION, true),
                   {},
                   {},
                   markedText(connection.HERE_TELNO, true)};
        PostWhereEntry(connection, request);
        m_session.recordRegistration(request.detail, request.contact, Clock::now());
    } else {
        // A place for any member: the bare place text, and the member's own contact text without
        // the marks of an automatic registration.
        request = {member, caption, {}, {}, withoutMarks(contact)};
        PostWhereEntry(m_settings.connection, request);
    }
    refreshAfterPost();
}

void frmStatus::refreshAfterPost() {
    ui::HourglassCursor hourglass;
    m_bflgEnableAttention = false;
    Update();
}

void frmStatus::writeTelMemo(qint32 member) {
    if (!m_writeTelMemo || ui::IsFormVisible(QStringLiteral("frmTelmemo")))
        return;
    if (!m_writeTelMemo(member))
        return;
    ui::HourglassCursor hourglass;
    m_bflgEnableAttention = false;
    Update();
}

void frmStatus::objMSFlexGrid_DblClick() {
    ui::FlexGrid* grid = m_objMSFlexGrid;
    if (grid->rows() < 2 || !m_openMemberWindow)
        return;
    const int r = grid->currentGridRow();
    m_openMemberWindow(memberWindowFields(grid->textMatrix(r, 0), grid->textMatrix(r, 1), grid->textMatrix(r, 2),
                                          grid->textMatrix(r, 3), grid->textMatrix(r, 4)));
}

void frmStatus::mnuUpdateUserData_Click() {
    if (!m_getUserData)
        return;
    LockForm();
    QList<UserRecord> users;
    if (!m_getUserData(users)) {
        // The directory in memory stays as it was.
        showMessage(kTitleError, MsgIcon::Warning, QStringLiteral("ユーザーデータの更新に失敗しました"));
        UnlockForm();
        return;
    }
    m_settings.users = users;
    {
        const PeriodicTimersSuspended suspended(m_resident);
        SaveUserData(m_settings.users, m_appState.userDataFilePath);
    }
    UnlockForm();
    Update();
}

} // namespace zelmora
