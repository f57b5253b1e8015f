#include "MainWindow.h"

#include "alerting/DueScan.h"
#include "entry/IncludePanel.h"
#include "review/EnterKeyFilter.h"
#include "review/ReviewPanel.h"
#include "shell/AboutWindow.h"
#include "shell/MakerInfo.h"
#include "shell/StatusNotifierTray.h"
#include "shell/TrayClickFilter.h"
#include "shell/UrlOpener.h"
#include "ui/Accessibility.h"
#include "ui/ComboBoxes.h"
#include "ui/FrameOverlay.h"
#include "ui/Icons.h"
#include "ui/InputBlock.h"
#include "ui/MessageBox.h"
#include "ui/ModalRun.h"
#include "ui/ShortcutClicks.h"
#include "ui/WindowStyle.h"
#include "ui_frmtarvelo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSystemTrayIcon>
#include <QTimer>

MainWindow::MainWindow(bool trayAvailable, AlarmSound& sound, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::frmtarvelo>())
    , m_timer1(new QTimer(this))
    , m_scan(new DueScan(*m_timer1, *this, sound, this))
    , m_tray(new QSystemTrayIcon(this))
    , m_usesTray(trayAvailable)
{
    m_ui->setupUi(this);
    m_clientSize = size();
    setWindowIcon(Icons::notes());
    m_ui->mnu0->insertSeparator(m_ui->mnuSobre)->setObjectName(QStringLiteral("h1"));
    ComboBoxes::keepTypedText(m_ui->cboHora);
    ComboBoxes::keepTypedText(m_ui->cboMinuto);
    EnterKeyFilter::install(m_ui->txtincdesc);
    EnterKeyFilter::install(m_ui->txtmanobs);
    const QPixmap badge = Icons::badge(QStringLiteral(QUEDRINO_MAKER_NAME));
    m_ui->Picture2->setPixmap(badge);
    m_ui->Picture3->setPixmap(badge);
    // Named by what a click does: the picture itself says nothing to a
    // screen reader.
    const QString site = QStringLiteral("Abrir o site de %1").arg(QStringLiteral(QUEDRINO_MAKER_NAME));
    m_ui->Picture2->setAccessibleName(site);
    m_ui->Picture3->setAccessibleName(site);
    WindowStyle::applyFonts(this);
    ShortcutClicks::install(this);
    Accessibility::nameFields(this);
    new FrameOverlay(*m_ui->lstlembr);
    m_include = new IncludePanel(*m_ui, *this, *m_scan);
    m_review = new ReviewPanel(*m_ui, *this, *m_scan);

    connect(m_ui->mnuInc, &QAction::triggered, this, &MainWindow::showIncludePanel);
    connect(m_ui->mnuRev, &QAction::triggered, this, &MainWindow::showReviewPanel);
    connect(m_ui->mnuSobre, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m_ui->mnuEncerrar, &QAction::triggered, this, &MainWindow::encerrar);
    connect(m_ui->cmdcaninc, &QPushButton::clicked, this, &MainWindow::hideMainWindow);
    connect(m_ui->cmdmancan, &QPushButton::clicked, this, &MainWindow::hideMainWindow);
    connect(m_ui->Picture2, &ClickableLabel::clicked, this, &MainWindow::openMakerSite);
    connect(m_ui->Picture3, &ClickableLabel::clicked, this, &MainWindow::openMakerSite);

    // Runs the due-reminder scan, as often as the platform allows.
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1);
    m_scan->switchOn();

    if (m_usesTray) {
        m_usesTray = false;
        useTray();
    } else {
        m_ui->mnu0->setTitle(QStringLiteral("&Quedrino"));
        setFixedSize(width(), height() + m_ui->menubar->sizeHint().height());
        setWindowFlags((windowFlags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                       | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
        showIncludePanel();
        // Started before the desktop's notification area (common at login):
        // keep looking, and move there once it appears.
        auto* watch = new QTimer(this);
        watch->setObjectName(QStringLiteral("trayWatch"));
        connect(watch, &QTimer::timeout, this, [this, watch] {
            if (QSystemTrayIcon::isSystemTrayAvailable()) {
                watch->stop();
                useTray();
            }
        });
        watch->start(2000);
        // Qt never takes a StatusNotifier area that comes later: the
        // program's own icon goes there.
        m_ownTray = new StatusNotifierTray(this);
        connect(m_ownTray, &StatusNotifierTray::ready, this, [this, watch] {
            if (!m_usesTray) {
                watch->stop();
                m_ownTrayShown = true;
                useTray();
            }
        });
        connect(m_ownTray, &StatusNotifierTray::menuRequested, this, [this](QPoint at) {
            if (m_ui->mnu0->isEnabled()) {
                m_ui->mnu0->popup(at);
            }
        });
    }
    WindowStyle::centre(this);
}

void MainWindow::useTray()
{
    if (m_usesTray) {
        return;
    }
    m_usesTray = true;
    hide();
    m_ui->menubar->hide();
    m_ui->mnu0->setTitle(QStringLiteral("mnu0"));
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(m_clientSize);
    WindowStyle::makeFixed(this);
    qApp->installEventFilter(new TrayClickFilter(*m_ui->mnu0, this));
    IncluiIcone();
}

MainWindow::~MainWindow()
{
    // Before the widgets go: the scan closes an open alert, which still talks
    // to this window, and the panels watch events of widgets about to die.
    delete m_scan;
    delete m_review;
    delete m_include;
}

QMenu* MainWindow::trayMenu() const
{
    return m_ui->mnu0;
}

void MainWindow::IncluiIcone()
{
    if (m_ownTrayShown) {
        m_ownTray->show(windowIcon(), QStringLiteral("Quedrino"));
        return;
    }
    m_tray->setIcon(windowIcon());
    m_tray->setToolTip(QStringLiteral("Quedrino"));
    // The right button's release opens this menu (TrayClickFilter, or the
    // notification area itself); the left button and double clicks do nothing.
    m_tray->setContextMenu(m_ui->mnu0);
    m_tray->show();
}

void MainWindow::RemoveIcone()
{
    m_tray->hide();
    if (m_ownTray) {
        m_ownTray->hide();
    }
}

void MainWindow::showIncludePanel()
{
    closeOpenMessages();
    m_include->open();
    showPanel(m_ui->fraInc, m_ui->frarev);
}

void MainWindow::showReviewPanel()
{
    closeOpenMessages();
    // Shown first, so a file that cannot be read is reported over the panel.
    showPanel(m_ui->frarev, m_ui->fraInc);
    m_review->open();
}

void MainWindow::closeOpenMessages()
{
    // A question left open over the panel that goes would take the keys
    // meant for the one that comes, and answer for a reminder no longer
    // shown: it closes with its safe answer, as when an alert opens.
    MessageBox::answerOpenSafely();
}

void MainWindow::showPanel(QWidget* panel, QWidget* other)
{
    // Without a tray the window rests minimized; the menu brings it back.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    other->hide();
    panel->show();
    raise();
    activateWindow();
}

void MainWindow::showAbout()
{
    // Open at most once: a second "&Sobre" brings the open one forward.
    if (m_about) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    AboutWindow about;
    m_about = &about;
    runModal(about, m_ui->centralwidget); // not the window: the tray menu is its child
}

void MainWindow::encerrar()
{
    RemoveIcone();
    Q_EMIT quitRequested();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    hideMainWindow();
}

void MainWindow::showClock(const QString& day, const QString& time)
{
    m_ui->lbldia->setText(day);
    m_ui->lblhora->setText(time);
}

bool MainWindow::reviewPanelShowing() const
{
    return !m_ui->frarev->isHidden();
}

void MainWindow::hideMainWindow()
{
    // Without a tray icon a hidden window could never be found again.
    if (m_usesTray) {
        hide();
    } else {
        showMinimized();
    }
}

void MainWindow::setMenusEnabled(bool enabled)
{
    m_ui->mnuInc->setEnabled(enabled);
    m_ui->mnuRev->setEnabled(enabled);
    m_ui->mnuSobre->setEnabled(enabled);
}

void MainWindow::blockInput(bool blocked)
{
    // Not the whole window: the tray menu is its child and must stay live.
    if (blocked) {
        InputBlock::block(m_ui->centralwidget);
    } else {
        InputBlock::unblock(m_ui->centralwidget);
    }
}

void MainWindow::openMakerSite()
{
    UrlOpener::open(QUrl(QStringLiteral(QUEDRINO_MAKER_URL)));
}
