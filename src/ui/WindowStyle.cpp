#include "WindowStyle.h"

#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QWidget>

namespace {

enum Style { Plain = 0, Bold = 1, Italic = 2, Underline = 4 };

struct Look
{
    QStringList families;
    qreal points = 0;
    int style = Plain;
    QColor colour = {};
};

// Windows font names first; the metric-compatible free families stand in
// where they are not installed.
const QStringList Arial{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
const QStringList SansSerif{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                            QStringLiteral("Liberation Sans")};
const QStringList Serif{QStringLiteral("MS Serif"), QStringLiteral("Times New Roman"),
                        QStringLiteral("Liberation Serif")};
const QStringList Comic{QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                        QStringLiteral("Liberation Sans")};

const QColor Navy(0, 0, 128);
const QColor Link(0, 0, 192);

const QHash<QString, Look>& looks()
{
    static const QHash<QString, Look> table{
        {QStringLiteral("fieldText"), {Arial, 9.75, Italic}},
        {QStringLiteral("fieldLabel"), {Arial, 9.75, Bold | Italic, QColor(0, 0, 64)}},
        {QStringLiteral("button"), {SansSerif, 8.25, Bold}},
        {QStringLiteral("stepButton"), {Serif, 6}},
        {QStringLiteral("panelCaption"), {Arial, 9.75, Bold, QColor(255, 255, 0)}},
        {QStringLiteral("clock"), {SansSerif, 9.75, Bold, Navy}},
        {QStringLiteral("alertHeading"), {Arial, 9.75, Bold}},
        {QStringLiteral("alertTitle"), {Arial, 9.75, Bold, Navy}},
        {QStringLiteral("alertValue"), {Arial, 9.75, Italic}},
        {QStringLiteral("aboutHeading"), {Arial, 9.75, Bold | Italic}},
        {QStringLiteral("makerName"), {Comic, 15.75, Bold, Navy}},
        {QStringLiteral("aboutLabel"), {Arial, 9.75, Italic}},
        {QStringLiteral("aboutValue"), {Arial, 9.75, Italic, Link}},
        {QStringLiteral("link"), {Arial, 9.75, Italic | Underline, Link}},
        {QStringLiteral("linkPlain"), {Arial, 9.75, Italic, Link}},
    };
    return table;
}

void applyLook(QWidget* widget, const Look& look)
{
    QFont font = widget->font();
    font.setFamilies(look.families);
    font.setPointSizeF(look.points);
    font.setBold(look.style & Bold);
    font.setItalic(look.style & Italic);
    font.setUnderline(look.style & Underline);
    widget->setFont(font);
    if (look.colour.isValid()) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, look.colour);
        widget->setPalette(palette);
    }
}

} // namespace

namespace WindowStyle {

void applyFonts(QWidget* window)
{
    // Parents first, so a child's own look wins over what it inherits.
    QList<QWidget*> widgets{window};
    widgets += window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const QString role = widget->property("quedrinoStyle").toString();
        const auto look = looks().constFind(role);
        if (look != looks().constEnd()) {
            applyLook(widget, *look);
        }
    }
}

void makeFixed(QWidget* window)
{
    window->setWindowFlags((window->windowFlags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint
                           | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
}

void centre(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

} // namespace WindowStyle
