#include "dialogs/frmAbout.h"

#include "dialogs/AboutText.h"
#include "ui/EmptyWindowTitle.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace zelmora {

namespace {

// The program's logo, 207 × 68: a board of name plates with a pin, and the name beside it.
class LogoWidget : public QWidget {
public:
    explicit LogoWidget(QWidget* parent) : QWidget(parent) { setFixedSize(207, 68); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient back(0, 0, 0, height());
        back.setColorAt(0, QColor(0x1f, 0x6f, 0x8b));
        back.setColorAt(1, QColor(0x12, 0x46, 0x5a));
        p.setPen(Qt::NoPen);
        p.setBrush(back);
        p.drawRoundedRect(QRectF(0.5, 0.5, width() - 1, height() - 1), 10, 10);

        // The board: three plates, the middle one turned to "present".
        const QRectF board(10, 10, 52, 48);
        p.setBrush(QColor(0xf4, 0xf1, 0xe8));
        p.drawRoundedRect(board, 4, 4);
        const QColor plates[3] = {QColor(0x9a, 0xa5, 0xab), QColor(0xf0, 0x8a, 0x24), QColor(0x9a, 0xa5, 0xab)};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(plates[i]);
            p.drawRoundedRect(QRectF(16, 16 + i * 13, 40, 9), 2, 2);
        }
        // The pin on the middle plate.
        QPainterPath pin;
        pin.moveTo(56, 40);
        pin.cubicTo(48, 30, 48, 22, 56, 20);
        pin.cubicTo(64, 22, 64, 30, 56, 40);
        p.setBrush(QColor(0xe0, 0x3c, 0x31));
        p.drawPath(pin);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(56, 26.5), 2.6, 2.6);

        QFont name = font();
        name.setBold(true);
        name.setPixelSize(26);
        p.setFont(name);
        p.setPen(Qt::white);
        p.drawText(QRectF(72, 6, width() - 78, 38), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zelmora"));
        QFont sub = font();
        sub.setPixelSize(11);
        p.setFont(sub);
        p.setPen(QColor(0xcf, 0xe6, 0xee));
        p.drawText(QRectF(73, 42, width() - 78, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("行き先案内板"));
    }
};

QLabel* plainLabel(QWidget* parent, const QString& name, const QString& text, bool wrap) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(wrap);
    return label;
}

QPointer<frmAbout>& openBox() {
    static QPointer<frmAbout> box;
    return box;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QString());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_fraAbout = new QFrame(this);
    m_fraAbout->setObjectName(QStringLiteral("fraAbout"));
    m_fraAbout->setFrameShape(QFrame::StyledPanel);
    m_imgLogo = new LogoWidget(m_fraAbout);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_lblProductName = plainLabel(m_fraAbout, QStringLiteral("lblProductName"), about::kProductName, false);
    QFont big = m_lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    m_lblProductName->setFont(big);
    m_lblVersion = plainLabel(m_fraAbout, QStringLiteral("lblVersion"), AboutVersionLine(), false);
    m_lblCopyright = plainLabel(m_fraAbout, QStringLiteral("lblCopyright"), about::kCopyright, false);
    const QString notices[3] = {about::kTrademark, about::kRights, about::kDisclaimer};
    for (int i = 0; i < 3; ++i)
        m_lblWarning[i] = plainLabel(m_fraAbout, QStringLiteral("lblWarning(%1)").arg(i), notices[i], true);
    m_lblComponents = plainLabel(m_fraAbout, QStringLiteral("lblComponents"), AboutComponentsLine({}, {}), true);

    auto* head = new QVBoxLayout;
    head->addWidget(m_lblProductName);
    head->addWidget(m_lblVersion);
    head->addWidget(m_lblCopyright);
    head->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_imgLogo, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(head, 1);
    auto* frameLayout = new QVBoxLayout(m_fraAbout);
    frameLayout->addLayout(top);
    frameLayout->addSpacing(8);
    for (QLabel* notice : m_lblWarning)
        frameLayout->addWidget(notice);
    frameLayout->addSpacing(4);
    frameLayout->addWidget(m_lblComponents);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fraAbout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_fraAbout->setFixedWidth(460);

    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmAbout::setComponents(const QString& idleSource, const QString& browserComponent) {
    m_lblComponents->setText(AboutComponentsLine(idleSource, browserComponent));
}

frmAbout* frmAbout::ShowAbout(const QString& idleSource, const QString& browserComponent) {
    QPointer<frmAbout>& box = openBox();
    if (!box) {
        box = new frmAbout;
        box->setAttribute(Qt::WA_DeleteOnClose);
    }
    box->setComponents(idleSource, browserComponent);
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

void frmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui::showEmptyTitle(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

void frmAbout::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    close();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zelmora
