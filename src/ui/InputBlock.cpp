#include "InputBlock.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* Depth = "quedrinoInputBlocks";
}

namespace InputBlock {

void block(QWidget* widget)
{
    const int depth = widget->property(Depth).toInt();
    widget->setProperty(Depth, depth + 1);
    widget->setEnabled(false);
}

void unblock(QWidget* widget)
{
    const int depth = widget->property(Depth).toInt();
    if (depth <= 1) {
        widget->setProperty(Depth, QVariant());
        widget->setEnabled(true);
    } else {
        widget->setProperty(Depth, depth - 1);
    }
}

} // namespace InputBlock
