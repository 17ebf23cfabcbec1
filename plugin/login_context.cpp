#include "plugin/login_context.h"

#include "base/text.h"
#include "containers/ts_map.h"

namespace {

using URLMasterTable = CTSMap<int32_t, int32_t, tagIPOURLMaster*, tagIPOURLMaster*>;

URLMasterTable& URLTable() {
    static URLMasterTable table;
    return table;
}

}  // namespace

LoginContext& Login() {
    static LoginContext context;
    return context;
}

void ApplyGlobalConfiguration(const IPOGlobalConfiguration* configuration) {
    if (!configuration) {
        return;
    }
    if (const HostURLMap* urls = configuration->URLMap) {
        URLMasterTable& table = URLTable();
        for (MapPosition position = urls->GetStartPosition(); position;) {
            int16_t code = 0;
            HostURLRecord* record = nullptr;
            urls->GetNextAssoc(position, code, record);
            if (!record) {
                continue;  // an entry without a record carries no URL
            }
            auto* master = new tagIPOURLMaster{code, base::OrEmpty(record->url)};
            tagIPOURLMaster*& slot = table[code];
            delete slot;
            slot = master;
        }
    }
    LoginContext& login = Login();
    login.WorkingDirectory = base::OrEmpty(configuration->WorkingDirectory);
    login.UserType = configuration->UserType;
    login.UserId = base::OrEmpty(configuration->UserId);
    login.Text4 = base::OrEmpty(configuration->Text4);
    login.Text5 = base::OrEmpty(configuration->Text5);
    login.LoginClientCode = base::OrEmpty(configuration->LoginClientCode);
    login.LoginClientId = base::OrEmpty(configuration->LoginClientId);
    login.Number = configuration->Number;
    login.Text1 = base::OrEmpty(configuration->Text1);
}

const tagIPOURLMaster* LookupURL(int requestCode) {
    tagIPOURLMaster* record = nullptr;
    return URLTable().Lookup(requestCode, record) ? record : nullptr;
}

void ClearURLTable() {
    URLMasterTable& table = URLTable();
    for (MapPosition position = table.GetStartPosition(); position;) {
        int32_t code = 0;
        tagIPOURLMaster* record = nullptr;
        table.GetNextAssoc(position, code, record);  // moves on before the entry goes
        table.RemoveKey(code);
        delete record;
    }
    table.RemoveAll();
}
