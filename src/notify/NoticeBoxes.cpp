#include "notify/NoticeBoxes.h"

namespace zelmora {

namespace {
struct NoticeKind {
    const char16_t* caption;
    quint16 bit;
    ApplicationFlag app;
};

// Box order is the order of chkInformationType(0..4).
constexpr NoticeKind kKinds[kNoticeBoxCount] = {
    {u"メールが届いています", 1, AppWebMail},       {u"回覧が回ってきました", 2, AppCircular},
    {u"電話メモがあります", 4, AppWhereabouts},     {u"新着の掲示があります", 8, AppBulletin},
    {u"申請・決済書類があります", 16, AppWorkflow},
};

QString pageQuery(int box, qint32 userId) {
    switch (box) {
    case 0:
        return QStringLiteral("?page=WebMailIndex");
    case 1:
        return QStringLiteral("?page=CircularIndex");
    case 2:
        return QStringLiteral("?page=WhereHistory&id=") + QString::number(userId) + QStringLiteral("&gid=0");
    case 3:
        return QStringLiteral("?page=BulletinIndex");
    default:
        return QStringLiteral("?page=WorkFlowIndex");
    }
}
} // namespace

std::array<NoticeBoxState, kNoticeBoxCount> noticeBoxes(quint16 informationType, const ConnectionSettings& connection) {
    std::array<NoticeBoxState, kNoticeBoxCount> boxes;
    for (int i = 0; i < kNoticeBoxCount; ++i) {
        boxes[i].caption = QString::fromUtf16(kKinds[i].caption);
        boxes[i].enabled = connection.isUsable(kKinds[i].app);
        boxes[i].ticked = boxes[i].enabled && (informationType & kKinds[i].bit);
    }
    return boxes;
}

QString noticePageQuery(const std::array<bool, kNoticeBoxCount>& ticked, qint32 userId) {
    for (int i = 0; i < kNoticeBoxCount; ++i) {
        if (ticked[i])
            return pageQuery(i, userId);
    }
    return QString();
}

} // namespace zelmora
