#include "ui/link_button.h"

#include <string>

#include "ui/system_colours.h"

CLinkButton::CLinkButton() {
    font_.face = "Arial";
    font_.height = 15;
    font_.weight = 400;
    font_.italic = false;
    font_.underline = true;
    font_.charSet = 0;        // ANSI
    font_.outPrecision = 1;   // string
    font_.clipPrecision = 2;  // stroke
    font_.quality = 1;
    font_.pitchAndFamily = 0x22;  // variable pitch, Swiss
}

void CLinkButton::Attach(fw::Form& form, int id) {
    form_ = &form;
    id_ = id;
    form.SetOwnerDrawn(id, this);
}

void CLinkButton::SetToolTipText(const char* text) {
    if (!form_) {
        return;
    }
    if (text) {
        toolTipCreated_ = true;
        form_->SetToolTip(id_, text, true);
    } else {
        form_->SetToolTip(id_, "", false);
    }
}

void CLinkButton::DrawItem(fw::Painter& painter, const fw::DrawItemInfo& info) {
    const std::string text = form_ ? form_->GetText(id_) : std::string();
    const fw::Size extent = painter.MeasureText(text);
    const fw::Rect& item = info.itemRect;

    // Shrink once to the text, as soon as the text fits inside the button.
    if (sizePending_ && extent.width < item.Width()) {
        painter.FillRect(item, ui::kButtonFace);
        const fw::Size size{extent.width + 50, extent.height + 2};
        if (form_) {
            form_->ResizeControl(id_, size);
        }
        sizePending_ = false;
    }

    painter.SetTransparentBackground(true);
    painter.SetFont(font_);
    painter.SetTextColour(linkColour_);
    painter.DrawText({2, 1}, extent, text, info.disabledOnly);
    painter.SetTransparentBackground(false);
}

void CLinkButton::OnLeftButtonDown() {
    visited_ = !visited_;
    linkColour_ = visited_ ? kVisitedColour : kUnvisitedColour;
}
