#pragma once

#include <QWidget>

class QLabel;

namespace zelmora {

// The splash window shown while the program starts: the product's name and the version label.
class frmStartup : public QWidget {
    Q_OBJECT
public:
    explicit frmStartup(QWidget* parent = nullptr);
    ~frmStartup() override;

    QLabel* lblVersion() const { return m_lblVersion; }

private:
    QLabel* m_lblVersion = nullptr;
};

} // namespace zelmora
