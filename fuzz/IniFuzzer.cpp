// Fuzz harness: the INI reader. Every section and key it reports must read back, and writing one new
// key into a new section must leave everything else as it was read.
#include "fuzz/InputFile.h"
#include "platform/ini/IniFile.h"

#include <cctype>
#include <vector>

namespace {

using Model = std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

const char* const kProbeSection = "fuzz probe section";

Model readModel(const ini::IniFile& file) {
    Model model;
    for (const std::string& section : file.ReadSections()) {
        auto& keys = model.emplace_back(section, std::vector<std::pair<std::string, std::string>>{}).second;
        for (const std::string& key : file.ReadSection(section)) {
            if (!file.ValueExists(section, key)) {
                std::fprintf(stderr, "key \"%s\" of [%s] is listed but does not exist\n", key.c_str(),
                             section.c_str());
                std::abort();
            }
            keys.emplace_back(key, file.ReadString(section, key, "\x01missing"));
        }
        if (file.ReadSectionValues(section).size() != keys.size()) {
            std::fprintf(stderr, "[%s]: key list and value list differ in length\n", section.c_str());
            std::abort();
        }
        file.ReadInteger(section, keys.empty() ? std::string() : keys.front().first, 0);
    }
    return model;
}

bool holdsProbe(const Model& model) {
    for (const auto& section : model) {
        std::string folded = section.first;
        for (char& c : folded)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (folded == kProbeSection)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::InputFile input("fuzz.ini");
    input.write(data, size);
    Model before;
    {
        ini::IniFile file(input.path());
        before = readModel(file);
        if (holdsProbe(before))
            return 0;
        file.WriteString(kProbeSection, "key", "value");
        file.UpdateFile();
    }
    ini::IniFile file(input.path());
    Model after = readModel(file);
    if (after.empty() || after.back().first != kProbeSection || after.back().second.size() != 1) {
        std::fprintf(stderr, "the written section is not the last one read back\n");
        std::abort();
    }
    after.pop_back();
    if (after != before) {
        std::fprintf(stderr, "writing a new section changed what the file held\n");
        std::abort();
    }
    return 0;
}
