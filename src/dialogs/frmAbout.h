#pragma once

#include <QDialog>

class QFrame;
class QLabel;

namespace zelmora {

// The about box: name, version, logo, copyright and the notices about the groupware's maker, and
// which idle-time source and browser component this run uses. Shown without being modal; any key
// or a click anywhere on it closes it.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Names shown in the components line, e.g. "GNOME (Mutter)" and "Qt WebEngine".
    void setComponents(const QString& idleSource, const QString& browserComponent);

    // Shows the one about box, creating it on first use; a second call brings it forward.
    static frmAbout* ShowAbout(const QString& idleSource, const QString& browserComponent);

    QLabel* lblVersion() const { return m_lblVersion; }
    QLabel* lblWarning(int index) const { return m_lblWarning[index]; }
    QLabel* lblComponents() const { return m_lblComponents; }
    QWidget* imgLogo() const { return m_imgLogo; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* m_fraAbout = nullptr;
    QWidget* m_imgLogo = nullptr;
    QLabel* m_lblProductName = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblCopyright = nullptr;
    QLabel* m_lblWarning[3] = {nullptr, nullptr, nullptr};
    QLabel* m_lblComponents = nullptr;
};

} // namespace zelmora
