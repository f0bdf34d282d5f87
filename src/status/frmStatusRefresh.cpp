#include "status/frmStatus.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/CpuClock.h"
#include "core/Logging.h"
#include "groupware/Board.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/PositionMenu.h"
#include "groupware/Registration.h"
#include "groupware/TopPage.h"
#include "net/Transport.h"
#include "status/BoardRead.h"
#include "status/ScheduleMerge.h"
#include "status/StatusRows.h"
#include "status/StatusText.h"
#include "ui/FlexGrid.h"
#include "ui/HourglassCursor.h"
#include "ui/PlainText.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabBar>

// The refresh of the status window: what it reads from the server and how it is shown.

namespace zelmora {

namespace {
const QString kTopPageQuery = QStringLiteral("?_System=Login&_Update=再読込");

QColor toColor(CellColour colour) {
    switch (colour) {
    case CellColour::Red:
        return QColor(255, 0, 0);
    case CellColour::Magenta:
        return QColor(255, 0, 255);
    case CellColour::Blue:
        return QColor(0, 0, 255);
    case CellColour::Black:
        break;
    }
    return QColor(0, 0, 0);
}

// Removes the run-time items of a menu array from `first` on. The actions are deleted later: the
// refresh may run from the triggered() of one of them.
void removeFrom(QList<QAction*>& items, qsizetype first) {
    while (items.size() > first) {
        QAction* action = items.takeLast();
        if (auto* menu = qobject_cast<QMenu*>(action->parent()))
            menu->removeAction(action);
        action->deleteLater();
    }
}

// A new text into a read-only box; the same text again is left as it stands, where the user
// scrolled and what they selected included. A new document costs more than the rest of the fill.
void showText(QPlainTextEdit* box, const QString& text, QString& shown) {
    if (text == shown)
        return;
    box->setPlainText(text);
    shown = text;
}

void setCaption(QAction* action, const QString& caption) {
    // A caption of "-" is a separator, as in every menu of the program. It carries no text: the
    // style would draw a separator's text as a section heading, a stray "-" in the menu.
    const bool separator = caption == QLatin1String("-");
    action->setSeparator(separator);
    action->setText(separator ? QString() : ui::menuCaption(caption));
}
} // namespace

void frmStatus::Update() {
    QElapsedTimer wall;
    wall.start();
    const qint64 threadCpuStart = threadCpuNanoseconds();
    const qint64 processCpuStart = processCpuNanoseconds();
    if (m_resident)
        m_resident->OffGetTimer();
    LockForm();
    const bool dialogOpen = m_registDialog && m_registDialog->isFormOpen();
    if (dialogOpen)
        m_registDialog->LockForm();
    ui::HourglassCursor hourglass;

    const ConnectionSettings& connection = m_settings.connection;
    const bool loggedIn = m_appState.loggedIn;
    QString page;
    if (loggedIn)
        page = GetPage(connection.programUrl + kTopPageQuery).text;

    bool failed = false;
    if (isWhereaboutsUsable()) {
        const BoardReader read = [&](qint32 groupId, QList<MemberRecord>& out) {
            return GetPositionList(connection, m_session, out, groupId);
        };
        failed = !readBoardsByMode(connection.GET_DATA_MODE, tabGroupIds(), m_intCurrentTab, read, m_session.members());
    }

    if (isScheduleUsable() && loggedIn && !failed) {
        QList<ScheduleItem> fresh;
        GetTodaySchedule(page, userNameById(m_settings.users, m_session.userId()), Clock::today(), fresh);
        m_schedule = mergeSchedule(m_schedule, fresh, m_settings.user.ALARM_TIMING, Clock::now());
    }

    if (loggedIn && !failed) {
        m_notices = GetNotice(page, GetLatestArticleId(connection), m_settings.user.LAST_NOTIFIED_ARTICLEID);
        rebuildLinkMenus(int(GetLinks(page, m_links)));
        rebuildPositionMenus();
    }

    UnlockForm();
    if (dialogOpen)
        m_registDialog->UnlockForm();
    if (!failed)
        ShowData();

    hourglass.restore();
    setWindowTitle(statusTitle(failed, Clock::now()));
    // A failed refresh keeps the rows of the last good one: both are worth a line in the support log.
    qCInfo(lcStatus).noquote() << "status title:" << windowTitle() << "| rows shown:" << m_objMSFlexGrid->rows() - 1;
    if (m_resident) {
        m_resident->ClearGetTimer();
        m_resident->OnGetTimer();
    }
    // Wall time includes the waits for the server; the thread's CPU time is the program's own work.
    qCInfo(lcPerf, "Update: %lld members, wall %.1f ms, thread CPU %.1f ms, process CPU %.1f ms%s",
           qlonglong(m_session.members().size()), wall.nsecsElapsed() / 1e6,
           (threadCpuNanoseconds() - threadCpuStart) / 1e6, (processCpuNanoseconds() - processCpuStart) / 1e6,
           failed ? " (failed)" : "");
}

void frmStatus::rebuildLinkMenus(int count) {
    QStringList titles;
    for (int i = 0; i < count && i < m_links.size(); ++i)
        titles.append(m_links.at(i).title);
    // The items open m_links by index when chosen, so the same titles need no new items.
    const bool unchanged = count >= 0 && m_linkTitlesShown == titles;
    if (!unchanged) {
        removeFrom(m_mnuLinkItem, 1);
        m_linkTitlesShown.reset();
    }
    if (count < 0)
        return;
    if (m_resident)
        m_resident->SetLinkItems(m_links);
    m_mnuLink->menuAction()->setEnabled(count > 0);
    if (unchanged || count == 0) {
        m_linkTitlesShown = titles;
        return;
    }
    setCaption(m_mnuLinkItem.at(0), m_links.at(0).title);
    for (int i = 1; i < titles.size(); ++i) {
        QAction* action = m_mnuLink->addAction(QString());
        action->setObjectName(QStringLiteral("mnuLinkItem(%1)").arg(i));
        setCaption(action, titles.at(i));
        connect(action, &QAction::triggered, this, [this, i] { mnuLinkItem_Click(i); });
        m_mnuLinkItem.append(action);
    }
    m_linkTitlesShown = titles;
}

void frmStatus::rebuildPositionMenus() {
    const QStringList places = GetWhereEntryChoices(m_settings.connection, m_session).place;
    const MemberRecord& own = m_session.ownRecord();
    if (m_resident)
        m_resident->SetPositionItems(places, own);
    const PlaceMenu menu = placeMenu(places, own);
    if (m_placesShown != places) {
        addPositionItems(menu);
        m_placesShown = places;
    }
    // The check marks follow the own entry on every refresh.
    for (qsizetype i = 0; i < menu.places.size(); ++i) {
        if (!menu.places.at(i).separator)
            m_mnuMyPositionItem.at(4 + i)->setChecked(menu.places.at(i).checked);
    }
    m_mnuMyPositionItem.at(2)->setChecked(menu.autoChecked);
}

void frmStatus::addPositionItems(const PlaceMenu& menu) {
    removeFrom(m_mnuMyPositionItem, 4);
    removeFrom(m_mnuMemberPositionItem, 2);
    removeFrom(m_mnuR_PositionItem, 4);
    auto add = [](QMenu* parent, QList<QAction*>& items, const char* array, const PlaceMenuItem& place) {
        QAction* action = parent->addAction(QString());
        action->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(items.size()));
        if (place.separator)
            action->setSeparator(true);
        else
            action->setText(ui::menuCaption(place.caption));
        items.append(action);
        return action;
    };
    for (const PlaceMenuItem& place : menu.places) {
        QAction* mine = add(m_mnuChangeMyPosition, m_mnuMyPositionItem, "mnuMyPositionItem", place);
        QAction* member = add(m_mnuChangeMemberPosition, m_mnuMemberPositionItem, "mnuMemberPositionItem", place);
        QAction* right = add(m_mnuR_ChangePos, m_mnuR_PositionItem, "mnuR_PositionItem", place);
        if (place.separator)
            continue;
        mine->setCheckable(true);
        const QString caption = place.caption;
        connect(mine, &QAction::triggered, this, [this, caption] { positionItem_Click(caption, m_session.userId()); });
        connect(member, &QAction::triggered, this,
                [this, caption] { positionItem_Click(caption, memberOfRow(m_objMSFlexGrid->currentGridRow())); });
        connect(right, &QAction::triggered, this, [this, caption] { mnuR_PositionItem_Click(caption); });
    }
}

void frmStatus::ShowData() {
    // No timer event while the window is filled. The timers come back only when somebody is logged
    // in; otherwise they stay off, and only Update restarts the board clock.
    const PeriodicTimerStates running = m_resident ? m_resident->SuspendPeriodicTimers() : PeriodicTimerStates{};

    const bool whereabouts = isWhereaboutsUsable();
    m_lblLabel[0]->setEnabled(whereabouts);
    m_objTabStrip->setEnabled(whereabouts);
    if (whereabouts && TabCount() >= 1)
        fillGrid();

    const bool loggedIn = m_appState.loggedIn;
    m_lblLabel[2]->setEnabled(loggedIn);
    m_txtYourNotice->setEnabled(loggedIn);
    m_lblLabel[3]->setEnabled(loggedIn && isScheduleUsable());
    m_txtTodaySchedule->setEnabled(loggedIn && isScheduleUsable());
    if (loggedIn) {
        fillNoticesAndSchedule();
        if (m_resident)
            m_resident->RestorePeriodicTimers(running);
    }
    objMSFlexGrid_RowColChange();
}

void frmStatus::fillGrid() {
    ui::FlexGrid* grid = m_objMSFlexGrid;
    const QSignalBlocker blocker(grid);
    const QList<StatusRow> rows =
        statusRows(m_session.members(), m_settings.users, groupIdFromTabKey(TabKey(m_intCurrentTab)), Clock::today());
    const QList<QString> headers = statusHeaders();
    for (int c = 0; c < headers.size(); ++c)
        grid->setTextMatrix(0, c, headers.at(c));
    m_lngRowUserID = {0};
    m_lngRowUserID.reserve(rows.size() + 1);
    QList<ui::FlexGridRow> body;
    body.reserve(rows.size());
    const QColor black(0, 0, 0);
    for (const StatusRow& row : rows) {
        m_lngRowUserID.append(row.userId);
        const QColor colour = toColor(row.colour);
        body.append({{row.name, black}, {row.position, colour}, {row.memo, black}, {row.contact, colour},
                     {row.updated, colour}});
    }
    grid->setBody(std::move(body));
    const bool hasRows = grid->rows() > 1;
    grid->setCurrentGridCell(hasRows ? 1 : 0, 0);
    // A refresh shows the board from its top, as when the rows were laid out anew.
    grid->scrollToTop();
    grid->setFocusRect(hasRows ? ui::FlexGrid::FocusRect::None : ui::FlexGrid::FocusRect::Light);
}

void frmStatus::fillNoticesAndSchedule() {
    const NoticeSummary notices = summarizeNotices(m_notices, m_settings.user);
    QString text;
    for (const QString& line : notices.lines)
        text += line + QStringLiteral("\r\n");
    showText(m_txtYourNotice, text, m_noticeTextShown);

    QString schedule;
    for (const QString& line : scheduleLines(m_schedule))
        schedule += line + QStringLiteral("\r\n");
    showText(m_txtTodaySchedule, schedule, m_scheduleTextShown);

    if (m_bflgEnableAttention && notices.due && m_openNotice)
        m_openNotice(notices.informationType);
}

} // namespace zelmora
