#include "framework/resource.h"

#include <map>

namespace fw {
namespace {
std::map<int, const DialogTemplate*>& Templates() {
    static std::map<int, const DialogTemplate*> templates;
    return templates;
}
}  // namespace

void RegisterTemplate(const DialogTemplate* dialogTemplate) {
    if (dialogTemplate) {
        Templates()[dialogTemplate->id] = dialogTemplate;
    }
}

const DialogTemplate* FindTemplate(int id) {
    auto found = Templates().find(id);
    return found == Templates().end() ? nullptr : found->second;
}

}  // namespace fw
