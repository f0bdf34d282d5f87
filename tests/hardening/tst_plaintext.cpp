// Text from the server ("<img src=x>", "<b>bold</b>", "&lt;b&gt;", "&", "[*]" in names, places,
// contacts, links, group names and appointment titles) shown exactly as sent wherever the program
// displays it: grid cells and their tooltips, tab captions, menus, window titles, the member window,
// the notice window and the alarm window. The window is filled by a real refresh against
// groupware-sim serving such an organisation.
#include "app/StatusDialogs.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "dialogs/frmMemberPosition.h"
#include "dialogs/frmRegistPosition.h"
#include "dialogs/frmTelMemo.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "notify/AttentionControl.h"
#include "notify/frmAlarm.h"
#include "notify/frmAttention.h"
#include "status/FakeResident.h"
#include "status/frmStatus.h"
#include "support/SimServer.h"
#include "ui/FlexGrid.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QWindow>

using namespace zelmora;
using namespace zelmora::test;

namespace {

const QString kImg = QStringLiteral("<img src=x>");
const QString kBold = QStringLiteral("<b>bold</b>");
const QString kEntity = QStringLiteral("&lt;b&gt;");
const QString kEntityWritten = QStringLiteral("&amp;lt;b&amp;gt;");

// The server writes "<" and ">" of its data as entities but leaves "&" alone, so "&amp;lt;" in the
// data arrives, decoded once, as "&lt;". ("\/" in the URLs keeps moc from reading "//" as a comment.)
QByteArray hostileOrganisation() {
    return R"({
  "name": "テスト商事",
  "groups": [{"id": 1, "name": "営業部"}, {"id": 2, "name": "開発部"}],
  "users": [
    {"id": 1, "name": "山田 太郎", "password": "pass1", "groups": [1, 2], "mayChangeOthers": true, "mail": 2},
    {"id": 2, "name": "<img src=x>鈴木 & 花子", "password": "pass2", "groups": [1]},
    {"id": 3, "name": "佐藤 [*] &amp;lt;b&amp;gt;", "password": "pass3", "groups": [1]}
  ],
  "entries": [
    {"user": 1, "position": "在席*", "contact": "*", "updated": "today 09:00"},
    {"user": 2, "position": "<b>bold</b>外出 & [*]", "contact": "<img src=x> 090&123", "updated": "today 10:00"},
    {"user": 3, "position": "&amp;lt;b&amp;gt;会議", "contact": "<b>bold</b>", "updated": "yesterday 17:00"}
  ],
  "places": ["在席", "<b>bold</b>", "A&B", "&amp;lt;b&amp;gt;", "<img src=x>", "--", "帰宅"],
  "schedule": [{"user": 1, "title": "<b>bold</b>定例&会議 <img src=x>", "start": "10:00", "end": "11:30"}],
  "links": [[{"title": "<img src=x>社内&ポータル", "url": "http:\/\/portal.example.co.jp\/"}],
            [{"title": "&amp;lt;b&amp;gt;精算", "url": "http:\/\/keihi.example.co.jp\/"}]],
  "articles": []
})";
}

bool hasServerMarkup(const QString& text) {
    return text.contains(QLatin1Char('<')) || text.contains(QLatin1Char('&')) || text.contains(QLatin1String("[*]"));
}

// What a menu item or tab shows for its caption: a single "&" marks the next letter and
// disappears, "&&" is one "&", and in a menu the text after a tab is the shortcut column.
QString shownCaption(const QString& caption, bool menu) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                ++i;
            else
                continue;
        }
        if (menu && caption.at(i) == QLatin1Char('\t'))
            break;
        shown += caption.at(i);
    }
    return shown;
}

// A label shows its text as rich text when its format says so or, with the automatic format,
// when Qt guesses so.
bool labelIsPlain(const QLabel* label) {
    return label->textFormat() == Qt::PlainText ||
           (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

// Every label of a window that shows server text shows it plainly.
void verifyLabelsPlain(const QWidget* window) {
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (hasServerMarkup(label->text()))
            QVERIFY2(labelIsPlain(label), qPrintable(window->objectName() + QLatin1Char(' ') + label->text()));
    }
}

// The text of the tooltip that a hover at `pos` would show, as the user reads it ("" for none).
QString tooltipAt(QWidget* widget, QPoint pos) {
    QToolTip::hideText();
    QHelpEvent event(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QCoreApplication::sendEvent(widget, &event);
    const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

// The title the window system gets (Qt's "[*]" handling applied).
QString shownTitle(QWidget* window) {
    window->winId();
    return window->windowHandle()->title();
}

} // namespace

class TestPlainText : public QObject {
    Q_OBJECT

    std::unique_ptr<SimServer> m_sim;
    Settings m_settings;
    AppState m_app;
    GroupwareSession m_session;
    FakeResident m_resident;
    std::unique_ptr<frmStatus> m_status;
    StatusDialogs* m_dialogs = nullptr; // the window's child

private slots:
    void initTestCase() {
        SimServer::Options options;
        options.organisationJson = hostileOrganisation();
        m_sim = std::make_unique<SimServer>(options);
        QVERIFY(m_sim->start());
        Clock::reset();
        m_settings.connection.SERVER_URL = m_sim->baseUrl().toString();
        m_settings.connection.updateProgramUrl();
        m_settings.connection.TIMEOUT = 5;
        m_settings.connection.GET_DATA_MODE = 1;
        m_settings.connection.memberPermissionState = 1;
        m_settings.groups = {{1, QStringLiteral("営業") + kBold + QStringLiteral("部 & [*]")}, {2, kImg + kEntity}};
        m_settings.users = {{1, QStringLiteral("山田 太郎"), {1, 2}},
                            {2, kImg + QStringLiteral("鈴木 & 花子"), {1}},
                            {3, QStringLiteral("佐藤 [*] ") + kEntity, {1}}};
        m_settings.user.GROUP_DISP_ORDER = {1, 2};
        SetInetOptions(m_settings.connection, QString(), QString());
        QVERIFY(Login(m_settings.connection, m_session, 1, QStringLiteral("pass1")));
        m_app.loggedIn = true;

        m_status = std::make_unique<frmStatus>(m_settings, m_app, m_session);
        m_dialogs = new StatusDialogs(m_settings, m_app, m_session, *m_status);
        m_status->setResidentControl(&m_resident);
        m_status->setPageOpener([](const PageRequest&) {});
        m_status->BuildLayout();
        m_status->SetEnableAttention(true);
        m_status->show();
        m_status->Update();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // The readers hand the texts on decoded, markup and all: otherwise this test proves nothing.
        const QList<MemberRecord>& members = m_session.members();
        QCOMPARE(members.size(), 3);
        // Names on the board are taken as the page writes them (entities and all): still text to show as it is.
        QVERIFY(members.at(1).name.contains(QStringLiteral("img src=x")) && hasServerMarkup(members.at(1).name));
        QVERIFY(members.at(2).name.contains(QStringLiteral("[*]")));
        QCOMPARE(members.at(1).position, kBold + QStringLiteral("外出 & [*]"));
        QCOMPARE(members.at(1).contact, kImg + QStringLiteral(" 090&123"));
        // "&amp;" is never decoded, so an entity written out by a member stays one.
        QCOMPARE(members.at(2).position, QStringLiteral("&amp;lt;b&amp;gt;会議"));
        // Choices of a select are taken as the page writes them: entities and all.
        QVERIFY(m_resident.places.contains(QStringLiteral("&lt;b&gt;bold&lt;/b&gt;")));
        QVERIFY(m_resident.places.contains(QStringLiteral("A&B")));
        QCOMPARE(m_resident.links.value(0).title, kImg + QStringLiteral("社内&ポータル"));
        QVERIFY(m_status->todaySchedule().value(0).title.contains(kBold + QStringLiteral("定例&会議 ") + kImg));
    }

    void cleanupTestCase() {
        m_status.reset();
        m_sim.reset();
    }

    void gridCellsAndTooltipsShowTheTextAsItIs() {
        ui::FlexGrid* grid = m_status->objMSFlexGrid();
        // Cells are drawn by the standard delegate, which never reads markup.
        QCOMPARE(grid->itemDelegate()->metaObject()->className(), "QStyledItemDelegate");
        const QList<MemberRecord>& members = m_session.members();
        QCOMPARE(grid->rows(), 4);
        for (int r = 1; r < grid->rows(); ++r) {
            const MemberRecord& member = members.at(r - 1);
            QCOMPARE(grid->textMatrix(r, 0), member.name);
            QCOMPARE(grid->textMatrix(r, 1), member.position);
            QCOMPARE(grid->textMatrix(r, 3), member.contact);
            for (int c = 0; c < grid->cols(); ++c) {
                // Squeezed columns would tempt a tooltip with the whole text; if there is one, it is literal.
                const QRect cell = grid->visualRect(grid->model()->index(r - 1, c));
                const QString tip = tooltipAt(grid->viewport(), cell.center());
                QVERIFY2(tip.isEmpty() || tip == grid->textMatrix(r, c), qPrintable(tip));
            }
        }
    }

    void tabCaptionsShowGroupNamesAsTheyAre() {
        QTabBar* tabs = m_status->objTabStrip();
        QCOMPARE(tabs->count(), 2);
        for (int i = 0; i < tabs->count(); ++i) {
            const QString name = m_settings.groups.at(i).name;
            QCOMPARE(shownCaption(tabs->tabText(i), false), name);
            QCOMPARE(m_status->TabCaption(i + 1), name);
            const QString tip = tooltipAt(tabs, tabs->tabRect(i).center());
            QVERIFY2(tip.isEmpty() || tip == name, qPrintable(tip));
        }
        verifyLabelsPlain(m_status.get());
    }

    void menusShowPlacesAndLinksAsTheyAre() {
        const QStringList places = m_resident.places;
        // Every place menu: the own, the member's and the right-button one; after their fixed items.
        const QList<QPair<const QList<QAction*>*, int>> menus = {{&m_status->mnuMyPositionItem(), 4},
                                                                 {&m_status->mnuMemberPositionItem(), 2},
                                                                 {&m_status->mnuR_PositionItem(), 4}};
        for (const auto& [items, first] : menus) {
            QStringList shown;
            for (qsizetype i = first; i < items->size(); ++i) {
                if (!items->at(i)->isSeparator())
                    shown << shownCaption(items->at(i)->text(), true);
            }
            for (const QString& place : places) {
                if (hasServerMarkup(place))
                    QVERIFY2(shown.contains(place), qPrintable(place + QStringLiteral(" in ") + shown.join(u'|')));
            }
        }
        QStringList links;
        for (const QAction* action : m_status->mnuLinkItem()) {
            if (!action->isSeparator())
                links << shownCaption(action->text(), true);
        }
        QCOMPARE(links, (QStringList{m_resident.links.at(0).title, m_resident.links.at(2).title}));
        QCOMPARE(links.at(1), kEntityWritten + QStringLiteral("精算"));

        // The tray menu gets the same lists from the refresh.
        ui::TrayMenu tray;
        tray.setPositionItems(m_resident.places, m_resident.ownRecord);
        tray.setLinkItems(m_resident.links);
        QStringList trayPlaces;
        for (int i = 4; QAction* item = tray.item(QStringLiteral("mnuPositionItem(%1)").arg(i)); ++i) {
            if (!item->isSeparator())
                trayPlaces << shownCaption(item->text(), true);
        }
        for (const QString& place : places) {
            if (hasServerMarkup(place))
                QVERIFY2(trayPlaces.contains(place), qPrintable(place));
        }
        QCOMPARE(shownCaption(tray.item(QStringLiteral("mnuLinkItem(0)"))->text(), true), m_resident.links.at(0).title);
        QCOMPARE(shownCaption(tray.item(QStringLiteral("mnuLinkItem(2)"))->text(), true), m_resident.links.at(2).title);
    }

    void aTabInAMenuCaptionIsNoShortcut() {
        ui::TrayMenu tray;
        tray.setLinkItems({LinkItem{QStringLiteral("経費\t精算"), QStringLiteral("http://keihi.example.co.jp/")}});
        QCOMPARE(shownCaption(tray.item(QStringLiteral("mnuLinkItem(0)"))->text(), true), QStringLiteral("経費 精算"));
    }

    void memberWindowAndDialogTitlesKeepNamesWhole() {
        ui::FlexGrid* grid = m_status->objMSFlexGrid();
        for (int r : {2, 3}) {
            const MemberRecord& member = m_session.members().at(r - 1);
            grid->setCurrentGridCell(r, 0);
            emit grid->dblClick();
            frmMemberPosition* window = m_dialogs->memberWindow();
            QVERIFY(window);
            QCOMPARE(window->txtPosition()->toPlainText(), member.position);
            QCOMPARE(window->txtTelNo()->toPlainText(), member.contact);
            QVERIFY2(shownTitle(window).startsWith(member.name + QStringLiteral("さんの行先 - ")),
                     qPrintable(shownTitle(window)));
            verifyLabelsPlain(window);
        }

        // "[*]" in a member's name survives in the titles of the memo and registration dialogs.
        frmTelMemo memo(m_settings, m_session, m_app);
        memo.setToUserID(3);
        memo.Load();
        QCOMPARE(shownTitle(&memo), m_settings.users.at(2).name + QStringLiteral("さんへの電話メモ"));
        verifyLabelsPlain(&memo);

        frmRegistPosition regist(m_settings, m_session, m_status.get());
        regist.setMember(3, -1, m_session.members().at(2).position, m_session.members().at(2).contact);
        regist.Initialize();
        QCOMPARE(shownTitle(&regist), m_settings.users.at(2).name + QStringLiteral("さんの行先登録"));
        verifyLabelsPlain(&regist);
    }

    void noticeAndAlarmWindowsShowTextAsItIs() {
        // The refresh found mail for the user and opened the notice window.
        frmAttention* notice = m_dialogs->attention()->window();
        QVERIFY(notice);
        verifyLabelsPlain(notice);
        for (const QLabel* label : notice->findChildren<QLabel*>())
            QVERIFY(labelIsPlain(label));

        QList<ScheduleItem>& schedule = m_status->todaySchedule();
        const QString title = schedule.at(0).title;
        frmAlarm alarm(schedule, m_settings.user);
        alarm.setAlarm(AlarmRef{0, title});
        alarm.Load();
        QLabel* label = alarm.lblSchedule();
        QVERIFY(label->text().contains(title));
        QVERIFY(labelIsPlain(label));
        // Drawn exactly as a plain-text label of the same text, font and size.
        QLabel reference;
        reference.setTextFormat(Qt::PlainText);
        reference.setText(label->text());
        reference.setFont(label->font());
        reference.setWordWrap(label->wordWrap());
        reference.setAlignment(label->alignment());
        reference.setPalette(label->palette());
        reference.resize(label->size());
        const auto image = [](QWidget* widget) {
            return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        };
        QCOMPARE(image(label), image(&reference));
        QVERIFY(shownTitle(&alarm) == QStringLiteral("アラーム"));
        alarm.close();
    }
};

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
