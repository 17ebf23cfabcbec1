// A push button drawn as an underlined hyperlink text. Each press toggles the visited state
// and with it the text colour; the owner still receives the button's click.
#pragma once

#include "framework/form.h"

class CLinkButton : public fw::OwnerDrawn {
  public:
    static constexpr fw::Colour kUnvisitedColour{0, 0, 150};
    static constexpr fw::Colour kVisitedColour{255, 0, 0};

    CLinkButton();

    // Takes over drawing of the button `id` on `form` (the button becomes owner-drawn).
    void Attach(fw::Form& form, int id);

    void SetLinkColour(fw::Colour colour) { linkColour_ = colour; }
    // With a text: shows it as the button's tooltip. Null: the tooltip goes inactive.
    void SetToolTipText(const char* text);

    fw::Colour LinkColour() const { return linkColour_; }

    void DrawItem(fw::Painter& painter, const fw::DrawItemInfo& info) override;
    void OnLeftButtonDown() override;

  private:
    fw::Form* form_ = nullptr;
    int id_ = 0;
    bool visited_ = false;
    fw::Colour linkColour_ = kUnvisitedColour;
    bool toolTipCreated_ = false;
    fw::FontSpec font_;
    bool sizePending_ = true;
};
