#include "AboutWindow.h"

#include "shell/MakerInfo.h"
#include "shell/UrlOpener.h"
#include "ui/Icons.h"
#include "ui/ShortcutClicks.h"
#include "ui/WindowStyle.h"
#include "ui_frmtarveloSobre.h"

#include <QKeyEvent>

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmtarveloSobre>())
{
    m_ui->setupUi(this);
    setWindowIcon(Icons::info());
    m_ui->Label2->setText(QStringLiteral(QUEDRINO_MAKER_NAME));
    m_ui->endereco->setText(QStringLiteral(QUEDRINO_MAKER_URL));
    m_ui->email->setText(QStringLiteral(QUEDRINO_MAKER_EMAIL));
    m_ui->Label3_2->setText(QStringLiteral(QUEDRINO_MAKER_PHONE));
    // Read as one sentence, with the name it ends in.
    setAccessibleDescription(m_ui->Label1->text() + QLatin1Char(' ') + m_ui->Label2->text());
    WindowStyle::applyFonts(this);
    WindowStyle::makeFixed(this);
    WindowStyle::centre(this);
    ShortcutClicks::install(this);

    connect(m_ui->Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->endereco, &ClickableLabel::clicked, this,
            [] { UrlOpener::open(QUrl(QStringLiteral(QUEDRINO_MAKER_URL))); });
    connect(m_ui->email, &ClickableLabel::clicked, this,
            [] { UrlOpener::open(QUrl(QStringLiteral("mailto:" QUEDRINO_MAKER_EMAIL))); });
    m_ui->Command1->setFocus();
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    // The window has no cancel button, so Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
