// Counting and picking the movies and pictures of the media folder.
#pragma once
#include <array>
#include <string_view>

constexpr int MEDIA_NAME_SIZE = 260;

// The picture kinds of the media folder, in walk order. BMP files come first and keep the
// platform's own matching; the others count only by their long name's own extension, so that
// a name the platform also matches through its short alias ("a.tiff" for "*.tif") counts once.
constexpr int PICTURE_BMP = 0;
constexpr std::array<const char*, 7> PICTURE_PATTERNS{"*.bmp", "*.jpg", "*.jpeg", "*.png",
                                                      "*.gif", "*.tif", "*.tiff"};

// Whether a name ends with `ending`, ASCII letters matched in either case.
bool EndsWithIgnoringCase(std::string_view name, std::string_view ending);
int CountMediaFiles(const char* folder, const char* pattern);
bool PickRandomMediaFile(const char* folder, char* outName, const char* pattern);

// The pictures of every kind in the folder.
int CountPictureFiles(const char* folder);
// One picture of any kind, uniformly, with one draw of the shared generator; its bare name goes
// to outName. The result is the index of its kind in PICTURE_PATTERNS, or -1 when there is none
// (outName is then left alone).
int PickRandomPicture(const char* folder, char* outName);
