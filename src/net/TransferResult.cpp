#include "net/TransferResult.h"

namespace zelmora {

QString describeTransferError(TransferError error, int httpStatus) {
    switch (error) {
    case TransferError::None:
        return {};
    case TransferError::MalformedUrl:
        return QStringLiteral("URLが正しくありません.");
    case TransferError::UnencodableText:
        return QStringLiteral("送信できない文字が含まれています.");
    case TransferError::Watchdog:
        return QStringLiteral("サーバーからの応答がありません.");
    case TransferError::Cancelled:
        return QStringLiteral("通信を中止しました.");
    case TransferError::TimedOut:
        return QStringLiteral("サーバーからの応答がありません(タイムアウト).");
    case TransferError::CannotConnect:
        return QStringLiteral("サーバーに接続できません.");
    case TransferError::ConnectionClosed:
        return QStringLiteral("サーバーとの接続が途中で切断されました.");
    case TransferError::AuthenticationFailed:
        return QStringLiteral("サーバーの認証に失敗しました.");
    case TransferError::ServerError:
        return QStringLiteral("サーバーでエラーが発生しました(HTTP %1).").arg(httpStatus);
    case TransferError::TooLarge:
        return QStringLiteral("サーバーからの応答が大きすぎるため受信を中止しました.");
    case TransferError::Other:
        break;
    }
    return QStringLiteral("通信エラーが発生しました.");
}

bool PageResult::noAnswer() const {
    switch (error) {
    case TransferError::Watchdog:
    case TransferError::TimedOut:
    case TransferError::CannotConnect:
    case TransferError::ConnectionClosed:
        return true;
    default:
        return false;
    }
}

} // namespace zelmora
