#include "Accessibility.h"

#include "ui/LineEditAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
// "Descrição :" becomes "Descrição"; "&Fechar" becomes "Fechar".
QString spoken(QString caption)
{
    caption.remove(QLatin1Char('&'));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':'))) {
        caption.chop(1);
    }
    return caption.trimmed();
}

bool isField(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget)
        || qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractItemView*>(widget);
}
} // namespace

namespace Accessibility {

void install()
{
    QAccessible::installFactory(&LineEditAccessible::create);
}

void nameFields(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        // The label is read too, where it names its field: "Data", not
        // "Data dois pontos".
        if (label->buddy() || label->text().trimmed().endsWith(QLatin1Char(':'))) {
            label->setAccessibleName(spoken(label->text()));
        }
        if (label->buddy()) {
            label->buddy()->setAccessibleName(spoken(label->text()));
        }
    }
    // A frame is named by its own title, not by the frame around it.
    for (QGroupBox* frame : window->findChildren<QGroupBox*>()) {
        frame->setAccessibleName(spoken(frame->title()));
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const auto* frame = qobject_cast<const QGroupBox*>(widget->parentWidget());
        if (frame && isField(widget) && widget->accessibleName().isEmpty()) {
            widget->setAccessibleName(spoken(frame->title()));
        }
    }
}

void announce(QWidget* window, const QString& text)
{
    window->setAccessibleDescription(text);
    QAccessibleEvent event(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

} // namespace Accessibility
