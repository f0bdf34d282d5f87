#pragma once

#include "core/Settings.h"

#include <QList>
#include <QString>

#include <array>

namespace zelmora {

inline constexpr int kNoticeBoxCount = 5;

// State of chkInformationType(0..4) when the notice window loads: a box whose application is not usable is
// disabled and unticked; a usable one is ticked exactly when its bit is set in intInformationType.
struct NoticeBoxState {
    QString caption;
    bool enabled = false;
    bool ticked = false;
};
std::array<NoticeBoxState, kNoticeBoxCount> noticeBoxes(quint16 informationType, const ConnectionSettings& connection);

// cmdToCybozu: the query (to append to the program URL) of the first ticked box, or an empty text when no box
// is ticked (the window then only closes). `ticked` holds the boxes' state at the moment of the click.
QString noticePageQuery(const std::array<bool, kNoticeBoxCount>& ticked, qint32 userId);

} // namespace zelmora
