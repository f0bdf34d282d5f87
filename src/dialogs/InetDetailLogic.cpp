#include "dialogs/InetDetailLogic.h"

#include "dialogs/DialogNumber.h"

namespace zelmora {

using namespace inetdetail;

namespace {
constexpr int kManualProxy = 2;
}

QString ValidateInetDetail(const InetDetailForm& form) {
    switch (readWholeNumber(form.timeOut, 10, 600).check) {
    case NumberCheck::NotNumeric:
        return kTimeOutNotNumeric;
    case NumberCheck::OutOfRange:
        return kTimeOutRange;
    case NumberCheck::Ok:
        break;
    }
    if (form.proxyMode == kManualProxy) {
        switch (readWholeNumber(form.proxyPort, 0, 65535).check) {
        case NumberCheck::NotNumeric:
            return kPortNotNumeric;
        case NumberCheck::OutOfRange:
            return kPortRange;
        case NumberCheck::Ok:
            break;
        }
    }
    return {};
}

InetDetailValues ReadBackInetDetail(const InetDetailForm& form) {
    InetDetailValues values;
    values.intTimeOut = qint16(readWholeNumber(form.timeOut, 10, 600).value);
    values.intProxyMode = qint16(form.proxyMode);
    if (form.proxyMode == kManualProxy) {
        values.strProxyServer = form.proxyServer;
        values.lngProxyPortNo = readWholeNumber(form.proxyPort, 0, 65535).value;
    }
    values.bServerPassRequired = form.serverPassRequired;
    if (form.serverPassRequired) {
        values.strServerID = form.serverId;
        values.strServerPassword = form.serverPassword;
        values.bSaveServerPassword = form.saveServerPassword;
    }
    return values;
}

} // namespace zelmora
