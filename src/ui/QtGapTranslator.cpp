#include "ui/QtGapTranslator.h"

#include <cstring>

namespace zelmora::ui {

QString QtGapTranslator::translate(const char* context, const char* sourceText, const char*, int) const {
    if (!context || !sourceText || std::strcmp(context, "QAbstractFileIconProvider") != 0)
        return {};
    struct Text {
        const char* source;
        const char* japanese;
    };
    static constexpr Text kTexts[] = {
        {"Folder", "フォルダ"}, {"Drive", "ドライブ"}, {"File", "ファイル"}, {"%1 File", "%1 ファイル"}};
    for (const Text& text : kTexts)
        if (std::strcmp(sourceText, text.source) == 0)
            return QString::fromUtf8(text.japanese);
    return {};
}

} // namespace zelmora::ui
