#include "watch/ipo_client_filter_layout.h"

#include <array>

#include "framework/form.h"

namespace {

using fw::ControlEntry;
using fw::ControlKind;

constexpr std::array<ControlEntry, 6> kFilterControls{{
    {1301, ControlKind::Static, "Client Id", 7, 7, 28, 8, fw::kStyleNone},
    {kFilterClientIdBox, ControlKind::Edit, "", 66, 5, 78, 14,
     fw::kStyleBorder | fw::kStyleAutoHScroll | fw::kStyleUppercase | fw::kStyleTabStop},
    {1303, ControlKind::Static, "Cient Name", 8, 27, 38, 8, fw::kStyleNone},
    {kFilterClientName, ControlKind::Static, "", 71, 28, 74, 8, fw::kStyleNone},
    {fw::kIdOk, ControlKind::DefaultButton, "OK", 80, 44, 50, 14, fw::kStyleTabStop},
    {fw::kIdCancel, ControlKind::Button, "Cancel", 134, 45, 50, 14, fw::kStyleTabStop},
}};

constexpr fw::DialogTemplate kFilterLayout{
    10515, fw::FormKind::ModalDialog, "Client Filter", "MS Shell Dlg", 8, 194, 61, kFilterControls};

}  // namespace

const fw::DialogTemplate& ClientFilterLayout() {
    return kFilterLayout;
}
