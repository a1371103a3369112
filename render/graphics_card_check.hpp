// What the graphics card check concludes from the GL vendor and renderer
// strings. A null string counts as empty.
#pragma once

#include <cstdint>

struct graphics_card_verdict {
  bool ati_card = false;
  double speed_factor = 1.0;
  std::int32_t slow_card_code = 0;  // 5200 for a known slow card, else 0
};

graphics_card_verdict classify_graphics_card(const char* vendor, const char* renderer);

// The warning shown once for a slow card.
inline constexpr const char* slow_card_caption = "  = Tamsel. Orvane 2006 = ";
inline constexpr const char* slow_card_text =
    "Slow graphics card present. \n \n The demo will NOT play properly \n Proceed at your own risk.";
