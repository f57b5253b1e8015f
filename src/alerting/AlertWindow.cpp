#include "AlertWindow.h"

#include "shell/Icons.h"
#include "ui/WindowStyle.h"
#include "ui_frmAviso.h"

AlertWindow::AlertWindow(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmAviso>())
{
    m_ui->setupUi(this);
    setWindowIcon(Icons::bell());
    m_ui->cboadia->setCurrentIndex(-1);
    WindowStyle::applyFonts(this);
    WindowStyle::makeFixed(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    WindowStyle::centre(this);
    m_ui->txtmsg->setFocus();
}

AlertWindow::~AlertWindow() = default;
