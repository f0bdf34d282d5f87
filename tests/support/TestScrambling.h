#pragma once

#include <QString>

namespace zelmora::test {

// A second, independent writer of scrambled passwords, so that tests can prepare settings files
// the way an earlier run (or the Windows program) left them without trusting the program's own
// Encrypt. MD5 of the key's low cp932 bytes, the digest as two decimal digits per byte, XORed
// over the UTF-16LE bytes of the text, upper-case hex.
QString scrambleForTest(const QString& key, const QString& text);

} // namespace zelmora::test
