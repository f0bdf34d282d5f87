// Top page and bulletin readers on arbitrary page text: no crash, no hang, sane results.
#include "core/Cp932.h"
#include "groupware/Login.h"
#include "groupware/TopPage.h"

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

using namespace zelmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString page = zelmora::cp932::decode(QByteArrayView(data, qsizetype(size)));

    qint32 last = 100;
    const NoticeCounts counts = GetNotice(page, 101, last);
    if (counts.mail < 0 || counts.circular < 0 || counts.memo < 0 || counts.workflow < 0 || last != 101) {
        std::abort();
    }

    QList<ScheduleItem> items;
    for (const QString& name : {QStringLiteral("佐藤(営業)"), QStringLiteral("a")}) {
        if (GetTodaySchedule(page, name, QDate(2002, 6, 3), items) != items.size()) {
            std::abort();
        }
        for (const ScheduleItem& item : items) {
            if (item.kind != ScheduleItem::NoTime && !item.start.isValid()) {
                std::abort();
            }
        }
    }

    QList<LinkItem> links;
    if (GetLinks(page, links) != links.size()) {
        std::abort();
    }
    readLatestArticleId(page, QStringLiteral("office.exe"));
    // The application links are read from the same page.
    if (usableApplicationsOf(page) & ~ApplicationFlags(AppAll)) {
        std::abort();
    }
    return 0;
}
