#include "status/frmStatus.h"

#include "core/AppState.h"
#include "core/MessageBox.h"
#include "groupware/GroupwareSession.h"
#include "status/BoardRead.h"
#include "status/StatusRows.h"
#include "ui/DeferredCall.h"
#include "ui/FlexGrid.h"
#include "ui/Fonts.h"
#include "ui/InputBlocker.h"
#include "ui/PlainText.h"
#include "ui/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zelmora {

namespace {
// Design size of the client area and of the controls, in twips.
constexpr int kClientWidth = 7305;
constexpr int kClientHeight = 5625;
constexpr int kMargin = 120;
constexpr int kGridInset = 120;
constexpr int kNoticeWidth = 3135;
constexpr int kScheduleWidth = 3615;
constexpr int kBoxGap = 225;
constexpr int kButtonWidth = 975;
constexpr int kButtonHeight = 375;
constexpr int kGridHeight = 2415;
constexpr int kTextBoxHeight = 855;
constexpr int kColumns = 5;
constexpr int kRowHeight = 240;

const QString kHint =
    QStringLiteral("行先に\"*\"印のあるものは、自動登録されたデータ。\"?\"印があるものは、そのデータの"
                   "信頼性が低下していることを示しています。");

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    ui::setPlainText(label, text);
    return label;
}

QPlainTextEdit* makeTextBox(const QString& name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}
} // namespace

frmStatus::frmStatus(Settings& settings, AppState& appState, GroupwareSession& session, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_appState(appState), m_session(session) {
    setObjectName(QStringLiteral("frmStatus"));
    setWindowTitle(kProgramName);
    setFont(ui::japaneseUiFont(9));
    m_inputBlocker = new ui::InputBlocker(this);
    // Browser pages are opened from this timer, after the menu that asked for them has closed.
    m_tmrAvoidVBBug = new ui::DeferredCall(
        10, [this] { tmrAvoidVBBug_Timer(); }, this);
    m_tmrAvoidVBBug->setObjectName(QStringLiteral("tmrAvoidVBBug"));
    createControls();
    createMenus();
    connectCommands();
    applyDesignSize();
}

frmStatus::~frmStatus() = default;

void frmStatus::createControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    const int margin = ui::twipsToPixelsX(kMargin, this);

    m_lblLabel[0] = makeLabel(QStringLiteral("lblLabel(0)"), QStringLiteral("メンバー行先一覧："), central);
    m_lblLabel[1] = makeLabel(QStringLiteral("lblLabel(1)"), kHint, central);
    m_lblLabel[1]->setWordWrap(true);
    m_lblLabel[1]->setFont(ui::japaneseUiFont(9.75));
    m_lblLabel[2] = makeLabel(QStringLiteral("lblLabel(2)"), QStringLiteral("あなた宛の通知："), central);
    m_lblLabel[3] = makeLabel(QStringLiteral("lblLabel(3)"), QStringLiteral("本日のスケジュール："), central);

    m_cmdUpdate = new QPushButton(QStringLiteral("更新"), central);
    m_cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    m_cmdUpdate->setMinimumSize(ui::twipsToSize(kButtonWidth, kButtonHeight, this));

    m_objTabStrip = new QTabBar(central);
    m_objTabStrip->setObjectName(QStringLiteral("objTabStrip"));
    m_objTabStrip->setExpanding(false);
    m_objTabStrip->setUsesScrollButtons(true);
    m_objTabStrip->setDrawBase(false);

    m_objMSFlexGrid = new ui::FlexGrid(central);
    m_objMSFlexGrid->setObjectName(QStringLiteral("objMSFlexGrid"));
    m_objMSFlexGrid->setMinimumHeight(ui::twipsToPixelsY(kGridHeight, this) / 2);

    m_txtYourNotice = makeTextBox(QStringLiteral("txtYourNotice"), central);
    m_txtTodaySchedule = makeTextBox(QStringLiteral("txtTodaySchedule"), central);
    for (QPlainTextEdit* box : {m_txtYourNotice, m_txtTodaySchedule}) {
        // The designed height, but never fewer than three lines of the font in use.
        const int lines =
            3 * box->fontMetrics().lineSpacing() + 2 * box->frameWidth() + 2 * int(box->document()->documentMargin());
        box->setFixedHeight(qMax(ui::twipsToPixelsY(kTextBoxHeight, this), lines));
        box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }

    // The grid sits inside the tab strip's panel, as on a tabbed page; the tab strip itself is
    // only the row of tabs, so that disabling it leaves the grid usable.
    auto* panel = new QFrame(central);
    panel->setObjectName(QStringLiteral("fraTabPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    auto* panelLayout = new QVBoxLayout(panel);
    const int inset = ui::twipsToPixelsX(kGridInset, this);
    panelLayout->setContentsMargins(inset, inset, inset, inset);
    panelLayout->addWidget(m_objMSFlexGrid);

    auto* tabArea = new QVBoxLayout;
    tabArea->setSpacing(0);
    tabArea->addWidget(m_objTabStrip);
    tabArea->addWidget(panel, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(m_lblLabel[0], 0, Qt::AlignBottom);
    top->addStretch(1);
    top->addWidget(m_cmdUpdate);

    auto* notice = new QVBoxLayout;
    notice->setSpacing(0);
    notice->addWidget(m_lblLabel[2]);
    notice->addWidget(m_txtYourNotice);
    auto* schedule = new QVBoxLayout;
    schedule->setSpacing(0);
    schedule->addWidget(m_lblLabel[3]);
    schedule->addWidget(m_txtTodaySchedule);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(ui::twipsToPixelsX(kBoxGap, this));
    bottom->addLayout(notice, kNoticeWidth);
    bottom->addLayout(schedule, kScheduleWidth);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(margin / 2);
    layout->addLayout(top);
    layout->addLayout(tabArea, 1);
    layout->addWidget(m_lblLabel[1]);
    layout->addLayout(bottom);

    m_objMSFlexGrid->setFont(ui::japaneseUiFont(9));
    m_objMSFlexGrid->verticalHeader()->setMinimumSectionSize(1);
    m_objMSFlexGrid->verticalHeader()->setDefaultSectionSize(
        qMax(ui::twipsToPixelsY(kRowHeight, this), QFontMetrics(m_objMSFlexGrid->font()).height() + 4));
    m_objMSFlexGrid->setCols(kColumns);
    m_objMSFlexGrid->setRows(1);
}

void frmStatus::applyDesignSize() {
    // The design size is the default; fonts wider than the designer's may need more, never less.
    QSize size = ui::twipsToSize(kClientWidth, kClientHeight, this);
    if (menuBar())
        size.rheight() += menuBar()->sizeHint().height();
    size = size.expandedTo(minimumSizeHint());
    resize(size);
}

QMenu* frmStatus::addMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* frmStatus::addItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    action->setObjectName(name);
    action->setParent(menu);
    return action;
}

QAction* frmStatus::menuItem(const QString& name) const {
    const QList<QAction*> actions = findChildren<QAction*>(name);
    return actions.isEmpty() ? nullptr : actions.first();
}

void frmStatus::BuildLayout() {
    m_mnuStatus->menuAction()->setVisible(false);

    {
        // Rebuilding the tabs is not a tab click.
        const QSignalBlocker blocker(m_objTabStrip);
        while (m_objTabStrip->count() > 0)
            m_objTabStrip->removeTab(m_objTabStrip->count() - 1);
        for (const qint32 id : std::as_const(m_settings.user.GROUP_DISP_ORDER)) {
            QString caption;
            for (const GroupRecord& group : std::as_const(m_settings.groups)) {
                if (group.id == id) {
                    caption = group.name;
                    break;
                }
            }
            const int index = m_objTabStrip->addTab(ui::escapeMnemonic(caption));
            m_objTabStrip->setTabData(index, tabKey(id));
        }
    }
    // A hidden tab bar does not tell its layout that its height changed with the first tab.
    m_objTabStrip->updateGeometry();

    m_objMSFlexGrid->setCols(kColumns);
    m_objMSFlexGrid->setRows(1);
    applyColumnWidths();

    if (m_objTabStrip->currentIndex() >= 0)
        m_intCurrentTab = m_objTabStrip->currentIndex() + 1;
}

void frmStatus::applyColumnWidths() {
    m_columnTwips.clear();
    m_columnPixels.clear();
    const UserSettings defaults;
    const QList<QString> headers = statusHeaders();
    const QFontMetrics header(m_objMSFlexGrid->horizontalHeader()->font());
    const QFontMetrics cells(m_objMSFlexGrid->font());
    const int margin = 2 * m_objMSFlexGrid->style()->pixelMetric(QStyle::PM_HeaderMargin) + 4;
    for (int c = 0; c < kColumns; ++c) {
        const int twips = int(m_settings.user.STATUS_COLUMN_WIDTH.value(c, defaults.STATUS_COLUMN_WIDTH.at(c)));
        // The stored widths were made for a narrower font: a column is never narrower than its
        // header, and the update time column always holds a whole "yyyy/mm/dd hh:nn".
        int needed = header.horizontalAdvance(headers.value(c)) + margin;
        if (c == 4)
            needed = qMax(needed, cells.horizontalAdvance(QStringLiteral("0000/00/00 00:00")) + margin);
        const int pixels = qMax(ui::twipsToPixelsX(twips, this), needed);
        m_objMSFlexGrid->setColumnWidth(c, pixels);
        m_objMSFlexGrid->setColAlignment(c, Qt::AlignCenter);
        m_columnTwips.append(twips);
        m_columnPixels.append(pixels);
    }
}

void frmStatus::UpdateAppearance() {
    BuildLayout();
    if (m_resident) {
        m_resident->UpdatePosition(true);
        m_resident->GetData();
    }
}

void frmStatus::LockForm() {
    m_bflgTabStripEnabled = m_objTabStrip->isEnabled();
    m_objTabStrip->setEnabled(false);
    m_cmdUpdate->setEnabled(false);
    m_inputBlocker->setBlocked(true);
}

void frmStatus::UnlockForm() {
    if (m_bflgTabStripEnabled)
        m_objTabStrip->setEnabled(true);
    m_cmdUpdate->setEnabled(true);
    m_inputBlocker->setBlocked(false);
}

bool frmStatus::isLocked() const {
    return m_inputBlocker->isBlocked();
}

int frmStatus::TabCount() const {
    return m_objTabStrip->count();
}

QString frmStatus::TabKey(int index) const {
    return m_objTabStrip->tabData(index - 1).toString();
}

QString frmStatus::TabCaption(int index) const {
    return ui::unescapeMnemonic(m_objTabStrip->tabText(index - 1));
}

qint32 frmStatus::SelectedGroupId() const {
    const int index = m_objTabStrip->currentIndex();
    return index < 0 ? 0 : groupIdFromTabKey(TabKey(index + 1));
}

QList<qint32> frmStatus::tabGroupIds() const {
    QList<qint32> ids;
    for (int i = 1; i <= TabCount(); ++i)
        ids.append(groupIdFromTabKey(TabKey(i)));
    return ids;
}

bool frmStatus::isWhereaboutsUsable() const {
    return m_settings.connection.isUsable(AppWhereabouts);
}

bool frmStatus::isScheduleUsable() const {
    return m_settings.connection.isUsable(AppSchedule);
}

void frmStatus::closeEvent(QCloseEvent* event) {
    if (m_unloading) {
        event->accept();
        return;
    }
    // The close box only hides the window; the program lives on in the tray.
    event->ignore();
    hide();
}

void frmStatus::mouseReleaseEvent(QMouseEvent* event) {
    QMainWindow::mouseReleaseEvent(event);
    // A right click on the window's background offers the tray menu; a click that a tab, a label
    // or the grid's panel let through is not on the background.
    if (event->button() != Qt::RightButton || !m_trayMenuPopup)
        return;
    const QWidget* hit = childAt(event->position().toPoint());
    if (hit == nullptr || hit == centralWidget())
        m_trayMenuPopup(event->globalPosition().toPoint());
}

void frmStatus::Load() {
    BuildLayout();
    ApplyWindowPosition();
    Update();
}

void frmStatus::ShowStatus() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void frmStatus::Unload() {
    StoreWindowGeometry();
    m_unloading = true;
    close();
}

void frmStatus::ApplyWindowPosition() {
    m_appliedPositionTwips = QPoint(m_settings.user.WINDOWPOS_X, m_settings.user.WINDOWPOS_Y);
    m_appliedPosition = ui::twipsToPoint(m_appliedPositionTwips.x(), m_appliedPositionTwips.y(), this);
    m_positionApplied = true;
    move(m_appliedPosition);
}

void frmStatus::StoreWindowPosition() {
    const QPoint position = pos();
    if (m_positionApplied && position == m_appliedPosition) {
        m_settings.user.WINDOWPOS_X = m_appliedPositionTwips.x();
        m_settings.user.WINDOWPOS_Y = m_appliedPositionTwips.y();
        return;
    }
    m_settings.user.WINDOWPOS_X = ui::pixelsToTwipsX(position.x(), this);
    m_settings.user.WINDOWPOS_Y = ui::pixelsToTwipsY(position.y(), this);
}

void frmStatus::StoreWindowGeometry() {
    QList<qint32> widths;
    for (int c = 0; c < kColumns; ++c) {
        const int pixels = m_objMSFlexGrid->columnWidth(c);
        if (c < m_columnPixels.size() && pixels == m_columnPixels.at(c))
            widths.append(m_columnTwips.at(c));
        else
            widths.append(ui::pixelsToTwipsX(pixels, this));
    }
    m_settings.user.STATUS_COLUMN_WIDTH = widths;
    StoreWindowPosition();
}

} // namespace zelmora
