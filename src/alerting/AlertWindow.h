#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAviso;
}

// "Aviso do Quedrino": the window a due reminder opens, above all others.
class AlertWindow : public QDialog
{
    Q_OBJECT

public:
    explicit AlertWindow(QWidget* parent = nullptr);
    ~AlertWindow() override;

private:
    std::unique_ptr<Ui::frmAviso> m_ui;
};
