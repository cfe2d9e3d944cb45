#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <map>
#include <set>
#include "show/catalogue.h"

namespace {

TEST(Catalogue, SlotsComeFirst) {
    for (int i = 0; i < 8; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        EXPECT_EQ(r.resourceId, 0u);
        EXPECT_EQ(r.flags, PF_EXTERNAL | PF_ZOOM | (i % 2 == 0 ? PF_FRONT : PF_FLOOR)) << i;
        EXPECT_EQ(r.zoomLeft, 0.5);
        EXPECT_EQ(r.zoomTop, 0.5);
        EXPECT_EQ(r.zoomRight, 0.5);
        EXPECT_EQ(r.zoomBottom, 0.5);
    }
    for (int i = 8; i < 16; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        EXPECT_EQ(r.flags, PF_MOVIE | (i % 2 == 0 ? PF_FLOOR : 0u)) << i;
        EXPECT_EQ(r.resourceId, 0u);
    }
}

TEST(Catalogue, BuiltInPicturesHaveTheirIdsFlagsAndRegions) {
    std::map<uint32_t, int> flagCounts;
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        EXPECT_EQ(r.resourceId, static_cast<uint32_t>(184 + i));
        ++flagCounts[r.flags];
        EXPECT_GE(r.zoomLeft, 0.0);
        EXPECT_LE(r.zoomRight, 1.0);
        EXPECT_GE(r.zoomTop, 0.0);
        EXPECT_LE(r.zoomBottom, 1.0);
        EXPECT_LE(r.zoomLeft, r.zoomRight);
        EXPECT_LE(r.zoomTop, r.zoomBottom);
        if (!(r.flags & PF_ZOOM)) {
            EXPECT_EQ(r.zoomLeft, 0.0);
            EXPECT_EQ(r.zoomBottom, 1.0);
        }
    }
    EXPECT_EQ(flagCounts[PF_FRONT], 37);
    EXPECT_EQ(flagCounts[PF_FLOOR], 21);
    EXPECT_EQ(flagCounts[PF_FRONT | PF_ZOOM], 32);
    const PictureRecord& outpost = pictureCatalogue[208 - 184];
    EXPECT_EQ(outpost.zoomLeft, 0.34);
    EXPECT_EQ(outpost.zoomTop, 0.6);
    EXPECT_EQ(outpost.zoomRight, 0.54);
    EXPECT_EQ(outpost.zoomBottom, 0.84);
    EXPECT_EQ(pictureCatalogue[200 - 184].flags, PF_FLOOR);
    EXPECT_EQ(pictureCatalogue[287 - 184].flags, PF_FRONT);
}

TEST(Catalogue, CaptionsAreShortPrintableAndFiveAreEmpty) {
    const std::set<uint32_t> uncaptioned{226, 227, 274, 276, 277};
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        const size_t length = std::strlen(r.caption);
        EXPECT_LE(length, 24u) << r.resourceId;
        EXPECT_EQ(length == 0, uncaptioned.count(r.resourceId) == 1) << r.resourceId;
        for (size_t c = 0; c < length; ++c) {
            EXPECT_GE(r.caption[c], 32) << r.resourceId;
            EXPECT_LE(r.caption[c], 126) << r.resourceId;
        }
    }
    for (int i = 0; i < 16; ++i) EXPECT_STREQ(pictureCatalogue[i].caption, "");
}

struct BitmapShape {
    LONG width, height;
    WORD bits;
};

BitmapShape ResourceShape(uint16_t id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    if (found == nullptr) return {0, 0, 0};
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    return {header->biWidth, header->biHeight, header->biBitCount};
}

TEST(Resources, EveryBitmapExistsWithItsSizeAndDepth) {
    const std::map<uint16_t, BitmapShape> fixed{
        {101, {256, 32, 8}}, {102, {512, 256, 8}},  {103, {256, 256, 8}}, {104, {256, 256, 8}},
        {105, {512, 64, 8}}, {106, {128, 128, 8}},  {108, {32, 32, 8}},   {109, {128, 256, 8}},
        {110, {256, 64, 8}}, {111, {1536, 16, 24}}, {112, {375, 350, 8}}};
    for (const auto& [id, shape] : fixed) {
        const BitmapShape found = ResourceShape(id);
        EXPECT_EQ(found.width, shape.width) << id;
        EXPECT_EQ(found.height, shape.height) << id;
        EXPECT_EQ(found.bits, shape.bits) << id;
    }
    std::map<std::pair<LONG, LONG>, int> sizes;
    int portraitFloors = 0;
    for (int i = 16; i < CATALOGUE_SIZE; ++i) {
        const PictureRecord& r = pictureCatalogue[i];
        const BitmapShape found = ResourceShape(static_cast<uint16_t>(r.resourceId));
        EXPECT_EQ(found.bits, 8) << r.resourceId;
        ++sizes[{found.width, found.height}];
        portraitFloors += (r.flags & PF_FLOOR) && found.width == 128 && found.height == 256;
    }
    EXPECT_EQ((sizes[{256, 128}]), 26);
    EXPECT_EQ((sizes[{128, 256}]), 25);
    EXPECT_EQ((sizes[{256, 256}]), 23);
    EXPECT_EQ((sizes[{128, 128}]), 16);
    EXPECT_EQ(portraitFloors, 17);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100)), nullptr);
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(2003), RT_DIALOG), nullptr);
}

}  // namespace
