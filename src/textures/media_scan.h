// Counting and picking the movies and pictures of the media folder.
#pragma once

constexpr int MEDIA_NAME_SIZE = 260;

int CountMediaFiles(const char* folder, const char* pattern);
bool PickRandomMediaFile(const char* folder, char* outName, const char* pattern);
