// The "Terms & Conditions" viewer: a modal dialog showing the head of the terms file from the
// working directory as raw text.
#pragma once

#include <string>

#include "framework/form.h"

class CTermsandCondition final : public fw::FormEvents {
  public:
    explicit CTermsandCondition(fw::Form* parent);

    int DoModal();  // how the dialog ended
    const std::string& Text() const { return text_; }

    // The terms file of the working directory.
    static std::string FilePath();

    void OnInitDialog(fw::Form& form) override;
    void OnCancel() override;

  private:
    fw::Form* parent_;
    fw::Form* form_ = nullptr;
    std::string text_;
};
