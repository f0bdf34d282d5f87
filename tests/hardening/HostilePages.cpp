#include "HostilePages.h"

#include "core/Cp932.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace zelmora::test {

namespace {

QByteArray fixture(const QString& relativePath) {
    QFile file(QDir(QStringLiteral(ZELMORA_FIXTURE_DIR)).filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray allFixtures() {
    QByteArray bytes;
    for (const char* path :
         {"board/board_members.html", "board/entry_own.html", "board/entry_refused.html", "directory/login_group.html",
          "directory/where_all.html", "toppage/top.html", "toppage/top_upper.html", "toppage/bulletin.html"})
        bytes += fixture(QString::fromLatin1(path));
    return bytes;
}

} // namespace

QString boardWithRows(int rows) {
    QString page = QStringLiteral(
        "<html>\r\n<head><title>サイボウズ Office 4 行き先</title></head>\r\n<body>\r\n"
        "<form method=GET action=\"office.exe\">\r\n"
        "<select name=\"gid\">\r\n<option value=0>(全員)\r\n<option value=3 selected>営業部\r\n</select>\r\n"
        "<table border=1 cellspacing=0 cellpadding=2>\r\n"
        "<tr bgcolor=#ccccff><th nowrap>名前</th><th width=40>電話メモ</th><th nowrap>行き先</th>"
        "<th nowrap>連絡（先）</th></tr>\r\n");
    page.reserve(page.size() + qsizetype(rows) * 330);
    for (int id = 1; id <= rows; ++id) {
        page += QStringLiteral("<tr>\r\n<td nowrap><a href=\"office.exe?page=OfficeInfo&id=%1\">社員 %1</a></td>\r\n"
                               "<td align=center>&nbsp;</td>\r\n"
                               "<td><a href=\"office.exe?page=WhereEntry&id=%1&gid=3&bpage=index\"><font size=-1>"
                               "在席*</font></a><br><font color=#808080>2002/06/03(月) 09:41</font></td>\r\n"
                               "<td>内線%1*<br></td>\r\n</tr>\r\n")
                    .arg(id);
    }
    page += QStringLiteral("</table>\r\n</form>\r\n<p>\r\n</body>\r\n</html>\r\n");
    return page;
}

QString hugePage(qsizetype chars) {
    const QString unit = cp932::decode(allFixtures());
    QString page;
    page.reserve(chars + unit.size());
    while (page.size() < chars)
        page += unit;
    page.truncate(chars);
    return page;
}

QString deeplyNested(int depth) {
    QString page;
    static const QString open[] = {
        QStringLiteral("<table><tr><td>"),
        QStringLiteral("<select name=\"gid\"><option value=1>"),
        QStringLiteral("<a href=\"office.exe?page=OfficeInfo&id=1\">"),
        QStringLiteral("<!--Persional--><font size=-1>"),
        QStringLiteral("<div><span><b>"),
    };
    for (int i = 0; i < depth; ++i)
        page += open[i % std::size(open)];
    page += QStringLiteral("サイボウズ Office 4 個人トップページ");
    return page;
}

QString unclosedMarkers(qsizetype chars) {
    static const QString pieces[] = {
        QStringLiteral("<td "),
        QStringLiteral("< select name=gid "),
        QStringLiteral("<option value='"),
        QStringLiteral("<a href=\"office.exe?page="),
        QStringLiteral("<tr bgcolor=#"),
        QStringLiteral("<!--"),
        QStringLiteral("< "),
        QStringLiteral("&quot;"),
    };
    QString page;
    page.reserve(chars + 32);
    for (qsizetype i = 0; page.size() < chars; ++i)
        page += pieces[i % qsizetype(std::size(pieces))];
    return page;
}

QString invalidCp932(qsizetype bytes) {
    QRandomGenerator random(932);
    const QByteArray base = allFixtures();
    QByteArray page;
    page.reserve(bytes);
    while (page.size() < bytes) {
        for (qsizetype i = 0; i < base.size() && page.size() < bytes; ++i) {
            switch (random.bounded(16)) {
            case 0:
                page += char(0x81 + random.bounded(0x1F)); // a lead byte
                page += char(random.bounded(0x40));        // that no trail byte follows
                break;
            case 1:
                page += char(0xFD + random.bounded(3)); // never part of cp932
                break;
            case 2:
                page += '\0';
                break;
            default:
                page += base.at(i);
            }
        }
    }
    return cp932::decode(page);
}

QList<HostilePage> hostilePages() {
    return {
        {QStringLiteral("10 MB page"), hugePage(10 * 1024 * 1024)},
        {QStringLiteral("100,000 board rows"), boardWithRows(100000)},
        {QStringLiteral("100,000 nested tags"), deeplyNested(100000)},
        {QStringLiteral("1 MB of unclosed markers"), unclosedMarkers(1024 * 1024)},
        {QStringLiteral("1 MB of invalid cp932"), invalidCp932(1024 * 1024)},
    };
}

} // namespace zelmora::test
