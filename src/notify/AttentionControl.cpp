#include "notify/AttentionControl.h"

#include "groupware/GroupwareSession.h"
#include "notify/frmAttention.h"
#include "ui/DesktopNotifier.h"

#include <QCheckBox>

namespace zelmora {

AttentionControl::AttentionControl(const Settings& settings, const GroupwareSession& session, QObject* parent)
    : QObject(parent), m_settings(settings), m_session(session), m_notifier(new ui::DesktopNotifier(this)) {}

AttentionControl::~AttentionControl() {
    delete m_window.data();
}

ui::DesktopNotifier* AttentionControl::notifier() const {
    return m_notifier;
}

void AttentionControl::setNotifier(ui::DesktopNotifier* notifier) {
    m_notifier = notifier;
}

frmAttention* AttentionControl::window() const {
    // A closed window lingers until its deferred deletion; it no longer counts as open.
    return m_window && m_window->isVisible() ? m_window.data() : nullptr;
}

void AttentionControl::Show(quint16 informationType) {
    if (frmAttention* open = window()) {
        open->setInformationType(informationType);
        open->raise();
        return;
    }
    auto* attention = new frmAttention(m_settings, m_session);
    attention->setAttribute(Qt::WA_DeleteOnClose);
    attention->setInformationType(informationType);
    attention->setPageOpener([this](const PageRequest& request) {
        if (m_pageOpener)
            m_pageOpener(request);
    });
    m_window = attention;
    attention->Load();
    postDesktopNotification(attention);
}

void AttentionControl::postDesktopNotification(frmAttention* window) {
    if (!m_notifier)
        return;
    QStringList kinds;
    std::array<bool, kNoticeBoxCount> ticked{};
    for (int i = 0; i < kNoticeBoxCount; ++i) {
        const QCheckBox* box = window->chkInformationType(i);
        ticked[i] = box->isEnabled() && box->isChecked();
        if (ticked[i])
            kinds << box->text();
    }
    if (kinds.isEmpty())
        return;
    // The click acts on the window while it is open (the ticks of that moment count); once it is
    // closed, on the kinds announced.
    const QString query = noticePageQuery(ticked, m_session.userId());
    const QPointer<AttentionControl> self(this);
    m_notifier->notify(QStringLiteral("あなた宛にメッセージが届いています"), kinds.join(QLatin1Char('\n')),
                       [self, query] {
                           if (!self)
                               return;
                           if (frmAttention* open = self->window()) {
                               open->cmdToCybozu_Click();
                               return;
                           }
                           if (self->m_pageOpener)
                               self->m_pageOpener(PageRequest{1, self->m_settings.connection.programUrl + query,
                                                              self->m_session.userId(), self->m_session.password()});
                       });
}

} // namespace zelmora
