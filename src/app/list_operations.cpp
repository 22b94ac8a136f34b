#include "app/list_operations.h"

#include <algorithm>
#include <vector>

namespace valbrix {

void fillList(DialogHost& host, int control, const std::string& itemsText, char separator,
              const std::string& selectText, int selectIndex) {
    std::vector<std::string> items;
    int selected = -1;
    std::size_t start = 0;
    while (start <= itemsText.size()) {
        std::size_t end = itemsText.find(separator, start);
        if (end == std::string::npos) end = itemsText.size();
        if (end > start) {
            const std::string item = itemsText.substr(start, std::min(end - start, listItemLimit));
            const int k = static_cast<int>(items.size());
            if (k == selectIndex || item == selectText) selected = k;
            items.push_back(item);
        }
        start = end + 1;
    }
    host.setListItems(control, items, selected);
}

void replaceChar(std::string& text, char from, char to) {
    for (char& c : text)
        if (c == from) c = to;
}

}  // namespace valbrix
