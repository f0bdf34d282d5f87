#pragma once

#include <QString>

#include <functional>

namespace zelmora {

// What the windows hand each other through the hooks the program wires (the status window opens
// the registration dialog, the member window and browser pages; the notice window and the member
// window open pages). Values and small interfaces only, so that no window includes another.

// A browser page waiting for the deferred opening, with the login to use.
struct PageRequest {
    qint16 intOpenPageType = 0; // 0 top page, 1 groupware page after login, 2 any address without login
    QString strOpenPageQuery;   // the whole address for kinds 1 and 2
    qint32 userId = 0;          // 0 with an empty password: nobody logged in
    QString password;
};
using PageOpener = std::function<void(const PageRequest&)>;

// A dialog that a refresh locks while it talks to the server (the registration dialog).
class LockableForm {
public:
    virtual ~LockableForm() = default;
    virtual bool isFormOpen() const = 0;
    virtual void LockForm() = 0;
    virtual void UnlockForm() = 0;
};

// What the registration dialog is opened with from the right-button menu.
struct RegistrationDialogRequest {
    qint32 lngUserID = 0;
    bool intMode = true;
    QString strCurrentPosition;
    QString strCurrentTelNo;
};

// What the member whereabouts window shows for one grid row.
struct MemberWindowFields {
    QString title;    // "<name>さんの行先 - <update time>更新", or "... - 未登録" without one
    QString position; // txtPosition
    QString telNo;    // txtTelNo
    bool telMemo = false;
    bool operator==(const MemberWindowFields&) const = default;
};
} // namespace zelmora
