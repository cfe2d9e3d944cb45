// The fixed numbers every drawing part shares: the scene's display lists and texture slots.
#pragma once
#include <array>
#include <cstdint>

constexpr unsigned int LIST_PROJECTION = 1;
constexpr unsigned int LIST_BANNER = 2;
constexpr unsigned int LIST_GLYPH = 3;
constexpr unsigned int LIST_BODY = 4;
constexpr unsigned int LIST_DOME = 5;
constexpr unsigned int LIST_SIDE_LEG = 6;
constexpr unsigned int LIST_SIDE_LEG_MIRRORED = 7;
constexpr unsigned int LIST_CENTRE_LEG = 8;
constexpr unsigned int LIST_PANEL_BLOCK = 10;
constexpr unsigned int LIST_LENS = 11;
constexpr unsigned int LIST_SIDE_FOOT = 12;
constexpr unsigned int LIST_SIDE_FOOT_MIRRORED = 13;
constexpr unsigned int LIST_CENTRE_FOOT = 14;
constexpr unsigned int LIST_BEAM = 15;

constexpr int TEXTURE_SLOT_COUNT = 12;
constexpr int SLOT_BANNER = 0;
constexpr int SLOT_HOLOGRAM = 2;
constexpr int SLOT_CHROME = 3;
constexpr int SLOT_BODY = 4;
constexpr int SLOT_DOME_CAP = 5;
constexpr int SLOT_DOME_BAND = 6;
constexpr int SLOT_PANEL = 7;
constexpr int SLOT_LENS_GLASS = 9;
constexpr int SLOT_LEGS = 10;
constexpr int SLOT_FEET = 11;

// The texture in each slot; 0 for none.
inline std::array<uint32_t, TEXTURE_SLOT_COUNT> textureSlots{};
