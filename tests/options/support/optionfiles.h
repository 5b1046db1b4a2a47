#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace talmor::testing {

// Whole contents of a file ("" when it cannot be read), and writing one.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& contents);

// The bytes of every data file the options sheet writes in `userFolder`, to tell whether it
// wrote anything.
struct OptionFiles {
    explicit OptionFiles(const std::string& userFolder);
    bool operator==(const OptionFiles& other) const { return contents == other.contents; }
    std::vector<std::string> contents;
};

// A wave file: RIFF "WAVE" with a "fmt " chunk of `format`, `channels` and `bits`, then a short
// "data" chunk; `before` is put in front of the "fmt " chunk (other chunks), and `dataFirst`
// puts the "data" chunk before the "fmt " chunk.
std::string WaveBytes(uint16_t format = 1, uint16_t channels = 1, uint16_t bits = 16,
                      const std::string& before = {}, bool dataFirst = false);

} // namespace talmor::testing
