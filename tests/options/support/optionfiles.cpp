#include "support/optionfiles.h"

#include <fstream>
#include <iterator>

#include "storage/datafiles.h"

namespace talmor::testing {

namespace {

void Le(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string Chunk(const char* id, const std::string& body) {
    std::string chunk(id, 4);
    Le(chunk, static_cast<uint32_t>(body.size()), 4);
    return chunk + body;
}

} // namespace

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

OptionFiles::OptionFiles(const std::string& userFolder) {
    for (const char* name : {storage::kOptionFile, storage::kAutoReplyFile,
                             storage::kQuickReplyFile, storage::kSmsReplyFile}) {
        contents.push_back(ReadBytes(storage::JoinPath(userFolder, name)));
    }
}

std::string WaveBytes(uint16_t format, uint16_t channels, uint16_t bits, const std::string& before,
                      bool dataFirst) {
    std::string fmt;
    Le(fmt, format, 2);
    Le(fmt, channels, 2);
    Le(fmt, 8000, 4);
    Le(fmt, 8000U * channels * bits / 8, 4);
    Le(fmt, static_cast<uint32_t>(channels * bits / 8), 2);
    Le(fmt, bits, 2);
    const std::string data = Chunk("data", std::string(16, '\0'));
    const std::string chunks =
        before + (dataFirst ? data + Chunk("fmt ", fmt) : Chunk("fmt ", fmt) + data);
    std::string file = "RIFF";
    Le(file, static_cast<uint32_t>(4 + chunks.size()), 4);
    return file + "WAVE" + chunks;
}

} // namespace talmor::testing
