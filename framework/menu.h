// A popup menu as a plain list of items; the backend shows it and returns the chosen command.
#pragma once

#include <string>
#include <vector>

namespace fw {

struct MenuItem {
    int id = 0;
    std::string text;
    bool enabled = true;
    bool checked = false;
};

struct Menu {
    std::string name;
    std::vector<MenuItem> items;

    MenuItem* Find(int id);
    const MenuItem* Find(int id) const;
    void Remove(int id);
};

}  // namespace fw
