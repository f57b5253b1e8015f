#pragma once

#include <QString>

// What the due scan and the alert need of the main window, which owns the
// clock labels, the two panels and the tray menu.
class ScanHost
{
public:
    virtual ~ScanHost() = default;

    virtual void showClock(const QString& day, const QString& time) = 0;
    virtual bool reviewPanelShowing() const = 0;
    virtual void hideMainWindow() = 0;
    // "&Incluir Lembrete", "&Rever Lembretes" and "&Sobre"; "&Encerrar"
    // always stays on, so the program can be ended with an alert open.
    virtual void setMenusEnabled(bool enabled) = 0;
    // While an alert is open the main window takes no input.
    virtual void blockInput(bool blocked) = 0;
};
