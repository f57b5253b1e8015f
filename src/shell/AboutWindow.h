#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmtarveloSobre;
}

// "Sobre o Quedrino 1.1a": who provides the program and how to reach them.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);
    ~AboutWindow() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::frmtarveloSobre> m_ui;
};
