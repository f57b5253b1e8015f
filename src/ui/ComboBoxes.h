#pragma once

class QComboBox;

namespace ComboBoxes {

// An editable combo box whose text is exactly what the user typed or chose:
// Enter adds nothing to the list and nothing is filled in while typing.
void keepTypedText(QComboBox* box);

} // namespace ComboBoxes
