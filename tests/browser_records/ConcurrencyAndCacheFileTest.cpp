#include "GeneratedTreeSource.h"
#include "browser/records/CormelianLib.h"
#include "browser/records/IniRecordCache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace browser;

namespace {

struct Corpus {
    std::vector<RRSetFacts> facts;
    std::vector<std::vector<std::uint8_t>> values;
};

Corpus RecordSetsOf(const gentree::GeneratedTree& tree) {
    Corpus corpus;
    for (const gentree::LdifEntry& entry : tree.entries) {
        RRSetFacts facts{GeneratedTreeSource::DottedName(entry.dn), false, "",
                         [] { return std::string("d"); }};
        std::vector<std::uint8_t> values;
        for (const gentree::LdifAttribute& attribute : entry.attributes) {
            if (attribute.name == "dnipDNSDomainName") {
                facts.domainName = attribute.value.text;
            } else if (attribute.name == "dnipRR") {
                auto size = static_cast<std::uint32_t>(attribute.value.text.size());
                for (int shift = 0; shift < 32; shift += 8) {
                    values.push_back(static_cast<std::uint8_t>(size >> shift));
                }
                values.insert(values.end(), attribute.value.text.begin(), attribute.value.text.end());
            }
        }
        if (!values.empty()) {
            corpus.facts.push_back(std::move(facts));
            corpus.values.push_back(std::move(values));
        }
    }
    return corpus;
}

std::vector<RecordRow> DecodeAll(const Corpus& corpus) {
    std::vector<RecordRow> rows;
    for (std::size_t i = 0; i < corpus.facts.size(); ++i) {
        DecodeRRSetValues(corpus.facts[i], corpus.values[i], RowOrigin{}, rows);
    }
    return rows;
}

} // namespace

TEST(RecordDecodingThreads, DecodersOnSeveralThreadsGiveTheSameRows) {
    Corpus corpus = RecordSetsOf(
        gentree::GenerateTree(gentree::TreeOptions{"THREADS", 1, 5, gentree::TreeSize{3, 2, 40, 6, 0, 0}}));
    const std::vector<RecordRow> expected = DecodeAll(corpus);
    ASSERT_GT(expected.size(), 500u);
    std::vector<std::vector<RecordRow>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&corpus, &result] {
            for (int round = 0; round < 5; ++round) {
                result = DecodeAll(corpus);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const auto& result : results) {
        EXPECT_EQ(result, expected);
    }
}

TEST(IniRecordCache, CacheLinesLandInTheSectionOneLinePerCaption) {
    namespace fs = std::filesystem;
    fs::path file = fs::temp_directory_path() / ("zones-" + std::to_string(::getpid()) + ".ini");
    fs::remove(file);
    gentree::GeneratedTree tree =
        gentree::GenerateTree(gentree::TreeOptions{"CACHE", 1, 3, gentree::TreeSize{1, 1, 6, 3, 0, 0}});
    GeneratedTreeSource source(tree);
    std::size_t rowCount = 0;
    {
        ini::IniFile ini(file.string());
        IniRecordCache cache(ini);
        std::vector<RecordRow> rows;
        for (const std::string& rrset : ListObjectsOfClass(source, kRRSetClass, "z1_cache_com.DNS.CACHE")) {
            EXPECT_EQ(ListRRSet(source, rrset, rows, RowOrigin{}, &cache, "z1_cache_com.DNS.CACHE"), 0);
        }
        rowCount = rows.size();
        ini.UpdateFile();
    }
    ini::IniFile reread(file.string());
    std::vector<std::string> keys = reread.ReadSection("z1_cache_com.DNS.CACHE");
    EXPECT_GT(rowCount, keys.size()); // rows sharing a caption keep one line
    EXPECT_FALSE(keys.empty());
    for (const std::string& key : keys) {
        std::string value = reread.ReadString("z1_cache_com.DNS.CACHE", key, "");
        EXPECT_NE(value.find('\x01'), std::string::npos) << key;
        EXPECT_EQ(value.find('\n'), std::string::npos) << key;
    }
    fs::remove(file);
}
