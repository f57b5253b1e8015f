#include "ComboBoxes.h"

#include <QComboBox>

namespace ComboBoxes {

void keepTypedText(QComboBox* box)
{
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
}

} // namespace ComboBoxes
