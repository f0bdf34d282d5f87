// The user guide (docs/help/index.html) against the program: the page is well formed, its links,
// anchors and pictures resolve, and every caption of the tray menu and of the status window's menus
// appears in it, so that a renamed or added menu item cannot leave the guide silently out of date.
#include "core/AppState.h"
#include "core/Settings.h"
#include "groupware/GroupwareSession.h"
#include "status/frmStatus.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTest>

using namespace zelmora;

namespace {
const QString kHelpDir = QStringLiteral(ZELMORA_FIXTURE_DIR "/../../docs/help");

QString readGuide() {
    QFile file(kHelpDir + QStringLiteral("/index.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Values of one attribute over all tags of the page.
QStringList attributeValues(const QString& html, const QString& attribute) {
    QStringList values;
    const QRegularExpression re(QStringLiteral("\\s%1=\"([^\"]*)\"").arg(attribute));
    for (auto it = re.globalMatch(html); it.hasNext();)
        values.append(it.next().captured(1));
    return values;
}

// Every element opened is closed in order (void elements excepted); returns the first problem.
QString nestingProblem(const QString& html) {
    static const QSet<QString> voidElements = {QStringLiteral("meta"), QStringLiteral("link"), QStringLiteral("img"),
                                               QStringLiteral("br"),   QStringLiteral("hr"),   QStringLiteral("input")};
    QString text = html;
    text.remove(QRegularExpression(QStringLiteral("<!--.*?-->"), QRegularExpression::DotMatchesEverythingOption));
    text.remove(QRegularExpression(QStringLiteral("<!DOCTYPE[^>]*>"), QRegularExpression::CaseInsensitiveOption));
    QStringList open;
    const QRegularExpression tag(QStringLiteral("<(/?)([a-zA-Z][a-zA-Z0-9]*)([^>]*)>"));
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(2).toLower();
        if (voidElements.contains(name))
            continue;
        if (m.captured(1).isEmpty()) {
            open.append(name);
        } else if (open.isEmpty() || open.last() != name) {
            return QStringLiteral("</%1> at offset %2 closes <%3>")
                .arg(name)
                .arg(m.capturedStart())
                .arg(open.isEmpty() ? QString() : open.last());
        } else {
            open.removeLast();
        }
    }
    return open.isEmpty() ? QString() : QStringLiteral("unclosed <%1>").arg(open.join(QStringLiteral("> <")));
}

// The caption as the user reads it: without the keyboard accelerator's "&".
QString shown(const QAction* action) {
    QString text = action->text();
    text.remove(QRegularExpression(QStringLiteral("\\(&[A-Za-z]\\)$")));
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Captions of the items of a menu and its submenus, separators left out.
void collectCaptions(const QMenu* menu, QStringList& captions) {
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator() || action->text() == QLatin1String("-"))
            continue;
        captions.append(shown(action));
        if (action->menu())
            collectCaptions(action->menu(), captions);
    }
}

QStringList missingFrom(const QString& html, const QStringList& captions) {
    QStringList missing;
    for (const QString& caption : captions) {
        if (!caption.isEmpty() && !html.contains(caption.toHtmlEscaped()))
            missing.append(caption);
    }
    return missing;
}
} // namespace

class tst_HelpGuide : public QObject {
    Q_OBJECT
private slots:
    void pageIsWellFormedJapaneseHtml() {
        const QString html = readGuide();
        QVERIFY2(!html.isEmpty(), "docs/help/index.html is missing");
        QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QVERIFY(html.contains(QStringLiteral("<html lang=\"ja\">")));
        QVERIFY(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        const QString problem = nestingProblem(html);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void anchorsAndFilesResolve() {
        const QString html = readGuide();
        const QStringList ids = attributeValues(html, QStringLiteral("id"));
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
        QStringList broken;
        for (const QString& href : attributeValues(html, QStringLiteral("href"))) {
            if (href.startsWith(QLatin1Char('#'))) {
                if (!ids.contains(href.mid(1)))
                    broken.append(href);
            } else if (!href.contains(QLatin1Char(':')) && !QFileInfo::exists(kHelpDir + QLatin1Char('/') + href)) {
                broken.append(href);
            }
        }
        QStringList pictures = attributeValues(html, QStringLiteral("src"));
        for (const QString& set : attributeValues(html, QStringLiteral("srcset"))) {
            for (const QString& candidate : set.split(QLatin1Char(','), Qt::SkipEmptyParts))
                pictures.append(candidate.trimmed().section(QLatin1Char(' '), 0, 0));
        }
        QVERIFY(pictures.size() > 20);
        for (const QString& src : pictures) {
            // Installed beside each other: share/zelmora/help and share/zelmora/screenshots.
            if (!src.startsWith(QLatin1String("../screenshots/")) || !src.endsWith(QLatin1String(".png")) ||
                !QFileInfo::exists(kHelpDir + QLatin1Char('/') + src))
                broken.append(src);
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char(' '))));
        // Every picture taken of the program illustrates the guide: a new window's picture calls for its text.
        QStringList unused;
        const QDir shots(kHelpDir + QStringLiteral("/../screenshots"));
        for (const QString& name : shots.entryList({QStringLiteral("*.png")}, QDir::Files)) {
            if (!pictures.contains(QStringLiteral("../screenshots/") + name))
                unused.append(name);
        }
        QVERIFY2(unused.isEmpty(), qPrintable(QStringLiteral("not in the guide: ") + unused.join(QLatin1Char(' '))));
        // The table of contents reaches every chapter.
        const QString toc = html.section(QStringLiteral("<nav"), 1).section(QStringLiteral("</nav>"), 0, 0);
        QStringList unlisted;
        const QRegularExpression chapter(QStringLiteral("<h2 id=\"([^\"]+)\""));
        for (auto it = chapter.globalMatch(html); it.hasNext();) {
            const QString id = it.next().captured(1);
            if (id != QLatin1String("toc") && !toc.contains(QStringLiteral("href=\"#%1\"").arg(id)))
                unlisted.append(id);
        }
        QVERIFY2(unlisted.isEmpty(), qPrintable(unlisted.join(QLatin1Char(' '))));
    }

    void everyMenuCaptionIsExplained() {
        const QString html = readGuide();
        QStringList captions;

        ui::TrayMenu tray;
        collectCaptions(tray.menu(), captions);

        Settings settings;
        AppState appState;
        GroupwareSession session;
        frmStatus status(settings, appState, session);
        QStringList titles;
        for (const QAction* entry : status.menuBar()->actions()) {
            if (entry->menu()) {
                titles.append(shown(entry));
                collectCaptions(entry->menu(), captions);
            }
        }
        // The menu bar and the grid's right-button menu (hidden in the bar) as the user meets them.
        QVERIFY(titles.contains(QStringLiteral("ファイル")));
        QVERIFY(titles.contains(QStringLiteral("ヘルプ")));
        QVERIFY(captions.contains(QStringLiteral("状態表示")));
        QVERIFY(captions.contains(QStringLiteral("スケジュール確認")));
        titles.removeAll(status.mnuStatus()->title());
        captions.append(titles);

        const QStringList missing = missingFrom(html, captions);
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("not in the guide: ") + missing.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(tst_HelpGuide)
#include "tst_helpguide.moc"
