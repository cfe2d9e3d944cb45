// Reads the generated files back and returns every broken invariant as a message.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "art.h"

std::vector<std::string> CheckOutput(const std::filesystem::path& dir, const DialogArt& dialog);
