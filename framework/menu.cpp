#include "framework/menu.h"

#include <algorithm>

namespace fw {

MenuItem* Menu::Find(int id) {
    auto found = std::find_if(items.begin(), items.end(), [id](const MenuItem& item) { return item.id == id; });
    return found == items.end() ? nullptr : &*found;
}

const MenuItem* Menu::Find(int id) const { return const_cast<Menu*>(this)->Find(id); }

void Menu::Remove(int id) {
    std::erase_if(items, [id](const MenuItem& item) { return item.id == id; });
}

}  // namespace fw
