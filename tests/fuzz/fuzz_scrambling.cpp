// Stored-password decoding on arbitrary keys and texts (keys hold user names read from pages, the
// texts come from the settings file): no crash, and what is scrambled always decodes back.
#include "core/Cp932.h"
#include "core/PasswordScrambling.h"

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

using namespace zelmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first line is the key, the rest the text.
    const QString input = cp932::decode(QByteArrayView(data, qsizetype(size)));
    const qsizetype newline = input.indexOf(QLatin1Char('\n'));
    const QString key = newline < 0 ? input : input.left(newline);
    const QString text = newline < 0 ? QString() : input.mid(newline + 1);
    Decrypt(key, text);
    if (Decrypt(key, Encrypt(key, text)) != text)
        std::abort();
    return 0;
}
