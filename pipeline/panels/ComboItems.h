#pragma once
// Fills a combo box with texts and selects one, without telling its window: a panel's own change.
#include <string>
#include <vector>

class QComboBox;

// `selected` -1 selects nothing. A null combo box is left alone.
void SetComboItems(QComboBox* combo, const std::vector<std::string>& items, int selected);
