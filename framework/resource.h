// Window layouts as resource tables in dialog units, written beside the view or dialog that owns
// them, and the process-wide registry through which a host finds a layout by its id.
#pragma once

#include <cstdint>
#include <span>

namespace fw {

enum class ControlKind {
    Static,
    GroupBox,
    Edit,
    Button,
    DefaultButton,
    CheckBox,
    RadioButton,
    ComboDropList,
    DatePicker,
    ListView,
    LinkButton,
};

// Style bits of a control; a backend maps them to its own.
enum ControlStyle : uint32_t {
    kStyleNone = 0,
    kStyleDisabled = 1u << 0,
    kStyleHidden = 1u << 1,
    kStyleBorder = 1u << 2,
    kStyleAutoHScroll = 1u << 3,
    kStyleMultiLine = 1u << 4,
    kStyleUppercase = 1u << 5,
    kStyleReadOnly = 1u << 6,
    kStyleSorted = 1u << 7,
    kStyleGroup = 1u << 8,       // first radio button of a group
    kStyleCentered = 1u << 9,    // static text centred
    kStyleReport = 1u << 10,     // list view in report mode
    kStyleSingleSel = 1u << 11,  // list view without multiple selection
    kStyleShortDate = 1u << 12,
    kStyleCalendarRight = 1u << 13,
    kStyleTabStop = 1u << 14,
    kStylePassword = 1u << 15,  // an edit box that hides what is typed
};

// One control of a layout: its id, kind, caption, place and size in dialog units, and style.
struct ControlEntry {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, width, height;  // dialog units
    uint32_t style;
};

enum class FormKind {
    ChildForm,    // a form view filling an MDI child frame
    PopupDialog,  // a modeless popup (caption, no system menu)
    ModalDialog,  // a modal dialog with caption and system menu
};

struct DialogTemplate {
    int id;
    FormKind kind;
    const char* caption;
    const char* fontName;
    int pointSize;
    int width, height;  // dialog units
    std::span<const ControlEntry> controls;
};

// Layouts the plug-in adds at load, so that a host finds a form by the id the menu lookup gives.
void RegisterTemplate(const DialogTemplate* dialogTemplate);
const DialogTemplate* FindTemplate(int id);

}  // namespace fw
