#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace zelmora::ui {

// Answers the program's modal windows by itself, for end-to-end test runs of the offscreen
// program, where nobody can click. Installed only when ZELMORA_TEST_ANSWER is set ("ok" or
// "cancel"); never in normal use.
//
// A modal window that has stood for `delayMs` is answered, and answered again after another
// delay while it stays up (a dialog whose confirmation failed its checks):
//   "ok":     a message box's accepting or Yes button; a dialog's cmdOK or cmdApply button;
//   "cancel": a message box's escape button; a dialog's reject(), as the Escape key does.
// Each answer is written to the support log (zelmora.app) with the window's class and title.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    enum class Answer { Ok, Cancel };

    ModalAnswerer(Answer answer, int delayMs, QObject* parent = nullptr);

    // The answerer that ZELMORA_TEST_ANSWER asks for, or nullptr when it is not set.
    static ModalAnswerer* fromEnvironment(QObject* parent);

private:
    void check();
    void answer(QWidget* window);

    Answer m_answer;
    int m_delayMs;
    QTimer m_poll;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_seenFor;
};

} // namespace zelmora::ui
