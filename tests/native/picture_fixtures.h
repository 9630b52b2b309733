// Shared by the picture decoder tests: fixture files and pixel comparison.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "toolkit/picture/image.h"

namespace picture_test {

inline std::filesystem::path fixture_path(const std::string& name) {
    return std::filesystem::path(GLIMBO_SOURCE_DIR) / "tests" / "fixtures" / name;
}

inline std::vector<std::uint8_t> read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> fixture(const std::string& name) {
    return read_bytes(fixture_path(name));
}

// Top row first, R G B (and A: 255 where the image has no alpha plane).
inline std::vector<std::uint8_t> to_raw(const pic::Image& im, bool with_alpha) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < im.height; ++y) {
        const std::uint8_t* row = im.row(y);
        for (int x = 0; x < im.width; ++x) {
            out.push_back(row[3 * x + 2]);
            out.push_back(row[3 * x + 1]);
            out.push_back(row[3 * x]);
            if (with_alpha)
                out.push_back(im.alpha.empty() ? 255 : im.alpha[std::size_t(y) * std::size_t(im.width) + std::size_t(x)]);
        }
    }
    return out;
}

// Compares pixel by pixel and names the first few that differ. With
// `ignore_hidden`, colours under alpha 0 are not compared (they are not shown).
inline ::testing::AssertionResult same_pixels(const std::vector<std::uint8_t>& got,
                                              const std::vector<std::uint8_t>& want, int width,
                                              int channels, bool ignore_hidden = false) {
    if (got.size() != want.size())
        return ::testing::AssertionFailure() << "size " << got.size() << " != " << want.size();
    int bad = 0;
    std::string report;
    for (std::size_t i = 0; i < got.size(); i += channels) {
        if (ignore_hidden && channels == 4 && got[i + 3] == 0 && want[i + 3] == 0) continue;
        if (std::equal(got.begin() + i, got.begin() + i + channels, want.begin() + i)) continue;
        if (++bad <= 5) {
            const std::size_t px = i / channels;
            report += " (" + std::to_string(px % width) + "," + std::to_string(px / width) + "): got";
            for (int c = 0; c < channels; ++c) report += " " + std::to_string(got[i + c]);
            report += " want";
            for (int c = 0; c < channels; ++c) report += " " + std::to_string(want[i + c]);
        }
    }
    if (bad == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << bad << " pixels differ:" << report;
}

}  // namespace picture_test
