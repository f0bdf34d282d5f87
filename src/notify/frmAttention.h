#pragma once

#include "core/Settings.h"
#include "notify/NoticeBoxes.h"
#include "ui/WindowRequests.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zelmora {

class GroupwareSession;

// The notice window: which kinds of message wait on the groupware (mail, circular, telephone memo,
// bulletin article, workflow document) as ticked boxes, with a sound, above all other windows.
// "ｻｲﾎﾞｳｽﾞOffice4へ" opens the page of the first ticked kind in the browser, logged in.
class frmAttention : public QDialog {
    Q_OBJECT
public:
    frmAttention(const Settings& settings, const GroupwareSession& session, QWidget* parent = nullptr);

    // Bits of the waiting kinds: 1 mail, 2 circular, 4 memo, 8 article, 16 workflow.
    quint16 intInformationType() const { return m_intInformationType; }
    void setInformationType(quint16 type) { m_intInformationType = type; }
    void setPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }

    // Ticks the boxes of the usable applications from intInformationType, shows the window above
    // all others and sounds ALARM_SOUNDFILE (or the beep).
    void Load();

    // Opens the page of the first ticked box (none ticked: nothing) and closes the window.
    void cmdToCybozu_Click();

    QCheckBox* chkInformationType(int index) const { return m_chkInformationType.at(index); }
    QPushButton* cmdToCybozu() const { return m_cmdToCybozu; }
    QPushButton* cmdClose() const { return m_cmdClose; }
    QLabel* lblLabel() const { return m_lblLabel; }

private:
    void createControls();

    const Settings& m_settings;
    const GroupwareSession& m_session;
    PageOpener m_pageOpener;
    quint16 m_intInformationType = 0;

    QLabel* m_lblLabel = nullptr;
    QLabel* m_imgImage = nullptr;
    QGroupBox* m_fraFrame = nullptr;
    std::array<QCheckBox*, kNoticeBoxCount> m_chkInformationType{};
    QPushButton* m_cmdToCybozu = nullptr;
    QPushButton* m_cmdClose = nullptr;
};

} // namespace zelmora
