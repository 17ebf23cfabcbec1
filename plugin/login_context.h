// The process-wide copy of the host's login configuration and the table of service URLs.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/host_abi.h"

struct LoginContext {
    uint16_t UserType = 0;
    uint32_t Number = 0;
    std::string Text1;
    std::string LoginClientCode;
    std::string LoginClientId;
    std::string Text4;
    std::string Text5;
    std::string WorkingDirectory;
    std::string UserId;
    std::string Extra1;  // never set
    std::string Extra2;  // never set
};

// One service URL per request code.
struct tagIPOURLMaster {
    int16_t RequestCode = 0;
    std::string URL;
};

// The one login context of the process.
LoginContext& Login();

// Copies a host configuration into the login context and adds its URLs (null: no change).
void ApplyGlobalConfiguration(const IPOGlobalConfiguration* configuration);

// The URL record for a request code, or null.
const tagIPOURLMaster* LookupURL(int requestCode);

// Destroys every URL record and releases the table's storage.
void ClearURLTable();
