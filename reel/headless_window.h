// A window without widgets: four cards whose content and positions are plain
// data. The odds tool spins it, and tests read it.
#pragma once

#include "reel_window.h"

#include <array>
#include <string>

namespace reel {

struct HeadlessCard : Card {
    std::int32_t fillColor = 0xFF; // red, as designed
    std::int32_t borderColor = 0xFF;
    std::string name;
    std::string amount;
    catalogue::PicturePtr picture;

    void setFillColor(std::int32_t color) override { fillColor = color; }
    void setBorderColor(std::int32_t color) override { borderColor = color; }
    void setName(std::string_view text) override { name = text; }
    void setAmount(std::string_view text) override { amount = text; }
    void setPicture(const catalogue::PicturePtr &p) override { picture = p; }
};

class HeadlessWindow : public ReelWindow {
public:
    HeadlessWindow();

    int cardCount() const override { return design::kCardCount; }
    HeadlessCard &card(int i) override { return cards_[checked(i)]; }
    float left(int i) const override { return lefts_[checked(i)]; }
    void setLeft(int i, float twips) override { lefts_[checked(i)] = twips; }
    float width(int i) const override { return widths_[checked(i)]; }
    void setTimerEnabled(bool on) override { timerOn = on; }
    void setButtonEnabled(bool on) override { buttonOn = on; }

    bool timerOn = false;
    bool buttonOn = true;

private:
    static std::size_t checked(int i);

    std::array<HeadlessCard, design::kCardCount> cards_;
    std::array<float, design::kCardCount> lefts_;
    std::array<float, design::kCardCount> widths_;
};

} // namespace reel
