#pragma once

#include "alerting/ScanHost.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class AboutWindow;
class AlarmSound;
class DueScan;
class IncludePanel;
class ReviewPanel;
class StatusNotifierTray;
class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace Ui {
class frmtarvelo;
}

// "Quedrino": the window that holds the include and review panels. It lives
// for the whole run, hidden; the tray icon's menu shows it with one panel or
// the other. Without a notification area it stays on screen instead, with
// the same menu on its menu bar, until one appears. It owns Timer1 and the
// due scan it drives.
class MainWindow : public QMainWindow, public ScanHost
{
    Q_OBJECT

public:
    MainWindow(bool trayAvailable, AlarmSound& sound, QWidget* parent = nullptr);
    ~MainWindow() override;

    QTimer* timer() const { return m_timer1; }
    DueScan& scan() const { return *m_scan; }
    IncludePanel& includePanel() const { return *m_include; }
    ReviewPanel& reviewPanel() const { return *m_review; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QMenu* trayMenu() const;
    bool usesTray() const { return m_usesTray; }

    void IncluiIcone();
    void RemoveIcone();

    // Moves the program into the notification area: the icon added, the menu
    // bar gone, the window hidden and back to its own size.
    void useTray();

    // What the scan and the alert need of this window.
    void showClock(const QString& day, const QString& time) override;
    bool reviewPanelShowing() const override;
    void hideMainWindow() override;
    void setMenusEnabled(bool enabled) override;
    void blockInput(bool blocked) override;

public Q_SLOTS:
    void showIncludePanel(); // "&Incluir Lembrete"
    void showReviewPanel(); // "&Rever Lembretes"
    void showAbout(); // "&Sobre"
    void encerrar(); // "&Encerrar"

Q_SIGNALS:
    // The program must end now; nothing is to be written any more.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void closeOpenMessages();
    void showPanel(QWidget* panel, QWidget* other);
    void openMakerSite();

    std::unique_ptr<Ui::frmtarvelo> m_ui;
    QTimer* m_timer1;
    DueScan* m_scan;
    IncludePanel* m_include = nullptr;
    ReviewPanel* m_review = nullptr;
    QSystemTrayIcon* m_tray;
    StatusNotifierTray* m_ownTray = nullptr; // watching for a tray only after a start without one
    bool m_ownTrayShown = false;
    QPointer<AboutWindow> m_about;
    bool m_usesTray;
    QSize m_clientSize; // as laid out, without a menu bar
};
