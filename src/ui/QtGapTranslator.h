#pragma once

#include <QTranslator>

namespace zelmora::ui {

// Qt's texts that Qt's own Japanese translation lacks: the file kinds of the file chooser's detail
// view ("Folder", "Drive", "%1 File"), which Qt asks under "QAbstractFileIconProvider".
class QtGapTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};

} // namespace zelmora::ui
