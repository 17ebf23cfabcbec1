#include "plugin/doc_template_registry.h"

#include <string>

#include "base/text.h"
#include "containers/ts_map_string_to_ptr.h"

namespace {

CTSMapStringToPtr& DocTemplateRegistry() {
    static CTSMapStringToPtr registry;
    return registry;
}

}  // namespace

void RegisterDocTemplate(uint32_t menuId, fw::DocTemplate* docTemplate) {
    if (docTemplate) {
        DocTemplateRegistry()[base::Format("%d", static_cast<int>(menuId))] = docTemplate;
    }
}

void CloseAllRegisteredDocuments() {
    const CTSMapStringToPtr& registry = DocTemplateRegistry();
    for (MapPosition position = registry.GetStartPosition(); position;) {
        std::string key;
        void* value = nullptr;
        registry.GetNextAssoc(position, key, value);
        if (value) {
            static_cast<fw::DocTemplate*>(value)->CloseAllDocuments(true);
        }
    }
}
