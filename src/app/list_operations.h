#pragma once
// The dialog's choice lists are given as one text with a separator between the items
// ("-none-|Enter|Tab"), the form in which the text table and the port scan hold them.

#include <cstddef>
#include <string>

#include "app/dialog_host.h"

namespace valbrix {

inline constexpr std::size_t listItemLimit = 99;

// Replaces the items of a list. Item k (counted over the items appended) is selected when k equals
// selectIndex or its text equals selectText exactly; when several qualify the last one wins, and
// when none does the list has no selection. Items are cut to 99 characters; empty ones are left out.
void fillList(DialogHost& host, int control, const std::string& itemsText, char separator,
              const std::string& selectText, int selectIndex);

void replaceChar(std::string& text, char from, char to);

}  // namespace valbrix
