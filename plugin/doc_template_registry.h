// The host's document templates by menu command. The host owns them; the registry only refers
// to them and never forgets one.
#pragma once

#include <cstdint>

#include "framework/document.h"

// Stores the template under its menu id written with "%d", replacing an earlier one; a null
// template is not stored.
void RegisterDocTemplate(uint32_t menuId, fw::DocTemplate* docTemplate);

// Closes every document of every registered template (end-session flag set).
void CloseAllRegisteredDocuments();
