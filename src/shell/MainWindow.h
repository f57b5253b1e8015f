#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

class AboutWindow;
class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace Ui {
class frmtarvelo;
}

// "Quedrino": the window that holds the include and review panels. It lives
// for the whole run, hidden; the tray icon's menu shows it with one panel or
// the other. Without a notification area it stays on screen instead, with
// the same menu on its menu bar.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(bool trayAvailable, QWidget* parent = nullptr);
    ~MainWindow() override;

    QTimer* timer() const { return m_timer1; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QMenu* trayMenu() const;
    bool usesTray() const { return m_usesTray; }

    void IncluiIcone();
    void RemoveIcone();

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
    void showPanel(QWidget* panel, QWidget* other);
    void openMakerSite();

    std::unique_ptr<Ui::frmtarvelo> m_ui;
    QTimer* m_timer1;
    QSystemTrayIcon* m_tray;
    QPointer<AboutWindow> m_about;
    bool m_usesTray;
};
