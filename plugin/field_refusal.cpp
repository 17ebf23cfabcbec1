#include "plugin/field_refusal.h"

#include "framework/backend.h"

bool RefuseTooLong(const char* name, size_t width) {
    fw::MessageBox(base::Format("%s is too long (at most %zu characters)", name, width - 1));
    return false;
}
